// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/ReplaceAll.h"

#include "editor/commands/Refusals.h"
#include "editor/commands/ScriptWindow.h"
#include "editor/commands/Tab.h"
#include "editor/history/EditHistory.h"
#include "editor/history/ReplaceStep.h"
#include "editor/history/StepRunner.h"
#include "editor/model/RecordModel.h"
#include "script/FieldRule.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QElapsedTimer>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
// What one file holds for the replacement: its changes, or its matches when it is read-only.
struct Found {
    RecordModel* model = nullptr;
    TextChanges changes;
    qsizetype readOnlyMatches = 0;
    std::optional<CellSearch::Match> firstReadOnly;
};

// Where a search in steps has got to in one file: the IDs after `after` up to `last` are left,
// looked at `span` IDs a step, a span the speed of the last step adjusts.
struct Cursor {
    bool started = false;
    qint64 first = 0;
    qint64 after = 0;
    qint64 last = 0;
    qint64 span = 4096;

    void adjust(qint64 elapsedMs)
    {
        const qint64 target = StepRunner::stepTime.count() / 2;
        if (elapsedMs < target / 2)
            span = std::min<qint64>(span * 2, qint64(1) << 24);
        else if (elapsedMs > target)
            span = std::max<qint64>(span / 2, 64);
    }
};
} // namespace

ReplaceAll::ReplaceAll(ScriptWindow& window, EditHistory& history)
    : m_window(&window)
    , m_history(&history)
{
}

int ReplaceAll::run(const CellSearch::Options& options, const QString& replacement)
{
    if (options.text.isEmpty())
        return 0;
    m_window->saveAll();
    QList<Found> found;
    for (Tab tab : Tabs::all) {
        if (RecordModel* model = m_window->model(tab)) {
            // Listed whole, so messages number the rows, and read whole once for damage.
            model->completeRows();
            model->checkIntegrity();
            found << Found{model, {}, 0, std::nullopt};
        }
    }
    Refusals refusals;
    qsizetype count = 0;
    qsizetype current = 0;
    Cursor cursor;
    StepRunner finding(&m_window->widget(), u"Replace All"_s);
    const auto visit = [&](Found& file, const CellSearch::Match& match) {
        const TableLayout& layout = file.model->layout();
        if (file.model->isReadOnly()) {
            if (++file.readOnlyMatches == 1)
                file.firstReadOnly = match;
            return;
        }
        const QString& column = layout.columns.at(match.column);
        const QString text = CellSearch::replaced(match.text, options, replacement);
        if (text == match.text)
            return;
        // Checked as the field will be: a text that was too long before and is no longer now
        // is the author's to shorten further, not a reason to refuse.
        if (text.size() > match.text.size()) {
            if (const QString problem = FieldRule::problem(layout, column, text);
                !problem.isEmpty()) {
                refusals.add([&] {
                    return ScriptError(file.model->table().fileName(), problem,
                                       file.model->rows().numberOf(match.id), column)
                        .message();
                });
                return;
            }
        }
        ++count;
        if (refusals.isEmpty()) // past a refusal nothing is written, so nothing is kept
            file.changes.append(match.id, match.column, match.text, text);
    };
    const auto step = [&] {
        if (current == found.size())
            return true;
        Found& file = found[current];
        const ScriptTable& table = file.model->table();
        if (!cursor.started) {
            const auto [first, last] = CellSearch::idRange(table);
            cursor = Cursor{true, first, first - 1, last};
        }
        if (cursor.after >= cursor.last) {
            ++current;
            cursor = Cursor{};
            return current == found.size();
        }
        QElapsedTimer clock;
        clock.start();
        const qint64 upTo = cursor.after + std::min(cursor.span, cursor.last - cursor.after);
        CellSearch::find(table, options, cursor.after, upTo,
                         [&](const CellSearch::Match& match) { visit(file, match); });
        cursor.after = upTo;
        cursor.adjust(clock.elapsed());
        finding.show(
            u"Looking for \"%1\" in %2"_s.arg(options.text, file.model->table().fileName()),
            cursor.after - cursor.first, cursor.last - cursor.first);
        return false;
    };
    switch (finding.run(step)) {
    case StepRunner::Outcome::Done:
        break;
    case StepRunner::Outcome::Cancelled:
        m_window->showStatus(u"Replace All stopped; nothing was replaced."_s);
        return 0;
    case StepRunner::Outcome::Failed:
        m_window->tell(finding.error()->message() + u" Nothing was replaced."_s);
        return 0;
    }

    for (const Found& file : found) {
        if (file.readOnlyMatches == 0)
            continue;
        const TableLayout& layout = file.model->layout();
        const CellSearch::Match& first = *file.firstReadOnly;
        refusals.add([&] {
            return ScriptError(file.model->table().fileName(),
                               u"the file is read-only here, so none of its %1 matches can be "
                               u"replaced"_s.arg(file.readOnlyMatches),
                               file.model->rows().numberOf(first.id),
                               layout.columns.at(first.column))
                .message();
        });
    }
    if (!refusals.isEmpty()) {
        m_window->tell(refusals.message(
            u"Nothing was replaced, as not every match can take the replacement:\n"_s));
        return 0;
    }
    if (count == 0) {
        m_window->showStatus(u"\"%1\" is nowhere in the script."_s.arg(options.text));
        return 0;
    }

    QList<ReplaceStep::Part> parts;
    for (Found& file : found) {
        if (!file.changes.isEmpty())
            parts << ReplaceStep::Part{file.model, std::move(file.changes),
                                       file.model->generation()};
    }
    found.clear();
    auto replacing = std::make_unique<ReplaceStep>(
        u"Replace All"_s, std::move(parts), &m_window->widget(),
        ReplaceStep::Report{
            [window = m_window](const QString& message) { window->tell(message); },
            [window = m_window](const QString& line) { window->showStatus(line); }});
    const bool whole =
        replacing->writeFirst(u"Replacing \"%1\" with \"%2\""_s.arg(options.text, replacement));
    const auto replaced = int(replacing->size());
    if (replaced > 0)
        m_history->add(std::move(replacing));
    if (whole)
        m_window->showStatus(replaced == 1 ? u"Replaced in 1 field."_s
                                           : u"Replaced in %1 fields."_s.arg(replaced));
    return replaced;
}
