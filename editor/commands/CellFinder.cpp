// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/CellFinder.h"

#include "editor/Form1.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/history/EditHistory.h"
#include "editor/model/RecordModel.h"
#include "editor/model/RecordSteps.h"
#include "script/FieldRule.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QSet>
#include <QStatusBar>
#include <algorithm>
#include <limits>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int tabCount = 4;
// A refused replacement names this many cells at most; the author fixes them and tries again.
constexpr int namedRefusals = 5;
} // namespace

CellFinder::CellFinder(Form1& form, EditHistory& history, QObject* parent)
    : QObject(parent)
    , m_form(&form)
    , m_history(&history)
{
}

void CellFinder::say(const QString& status)
{
    m_form->statusBar()->showMessage(status);
}

std::optional<CellFinder::Place>
CellFinder::nextInShownOrder(const RecordModel& model, std::optional<Place> from, bool forward)
{
    const QList<qint64>& ids = model.ids();
    QList<qint64> found = CellSearch::candidates(model.table(), m_options);
    const QSet<qint64> candidates(found.cbegin(), found.cend());
    const int step = forward ? 1 : -1;
    int row = from ? from->row : (forward ? 0 : int(ids.size()) - 1);
    // The rows that may match are read in batches, in the grid's order, until one does.
    while (row >= 0 && row < ids.size()) {
        QList<qint64> batch;
        QHash<qint64, int> rows;
        for (; row >= 0 && row < ids.size() && batch.size() < RecordStore::readBatch; row += step) {
            if (candidates.contains(ids.at(row))) {
                batch << ids.at(row);
                rows.insert(ids.at(row), row);
            }
        }
        std::optional<Place> best;
        for (const CellSearch::Match& match : CellSearch::find(model.table(), m_options, batch)) {
            const Place place{rows.value(match.id), match.column};
            if (from && !(forward ? place > *from : place < *from))
                continue;
            if (!best || (forward ? place < *best : place > *best))
                best = place;
        }
        if (best)
            return best;
    }
    return std::nullopt;
}

std::optional<CellFinder::Place> CellFinder::nextIn(int tab, std::optional<Place> from,
                                                    bool forward)
{
    RecordModel* model = m_form->model(tab);
    if (!model)
        return std::nullopt;
    model->completeRows();
    const QList<qint64>& ids = model->ids();
    try {
        if (!std::is_sorted(ids.cbegin(), ids.cend()))
            return nextInShownOrder(*model, from, forward);
    } catch (const ScriptError& error) {
        Q_EMIT failed(error.message());
        return std::nullopt;
    }
    // Rows in ID order: the database finds the next match itself and stops there.
    qint64 id = forward ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    int column = forward ? -1 : int(model->layout().columns.size());
    if (from && from->row >= 0 && from->row < ids.size()) {
        id = ids.at(from->row);
        column = from->column;
    } else if (from) {
        return std::nullopt;
    }
    std::optional<CellSearch::Match> match;
    try {
        match = CellSearch::next(model->table(), m_options, id, column, forward);
    } catch (const ScriptError& error) {
        Q_EMIT failed(error.message());
        return std::nullopt;
    }
    if (!match)
        return std::nullopt;
    const auto row = std::lower_bound(ids.cbegin(), ids.cend(), match->id);
    if (row == ids.cend() || *row != match->id)
        return std::nullopt; // added by another program a moment ago: not in the grid yet
    return Place{int(row - ids.cbegin()), match->column};
}

bool CellFinder::find(bool forward)
{
    if (m_options.text.isEmpty())
        return false;
    m_form->saveAll();
    const int start = m_form->currentTab();
    std::optional<Place> current;
    if (ScriptGrid* grid = m_form->grid(start); grid && grid->currentIndex().isValid())
        current = Place{grid->currentIndex().row(), grid->currentIndex().column()};
    // Once round all the tabs and back into the first, for the matches before the current cell.
    for (int step = 0; step <= tabCount; ++step) {
        const int tab = forward ? (start + step) % tabCount : (start - step + tabCount) % tabCount;
        const std::optional<Place> found = nextIn(tab, step == 0 ? current : std::nullopt, forward);
        if (!found)
            continue;
        const bool wrapped = step == tabCount || (forward ? tab < start : tab > start);
        const TableLayout& layout = m_form->model(tab)->layout();
        m_form->goToCell(tab, found->row, found->column);
        const QString where = u"Found in %1, row %2, field \"%3\"."_s.arg(
            layout.fileName, QString::number(m_form->model(tab)->rowNumber(found->row)),
            layout.columns.at(found->column));
        say(wrapped ? (forward ? u"Passed the end of the script and went on from its start. "_s
                               : u"Passed the start of the script and went on from its end. "_s) +
                          where
                    : where);
        return true;
    }
    say(u"\"%1\" is nowhere in the script."_s.arg(m_options.text));
    return false;
}

bool CellFinder::replace(const QString& replacement)
{
    m_form->saveAll();
    const int tab = m_form->currentTab();
    RecordModel* model = m_form->model(tab);
    const QModelIndex cell = model ? m_form->grid(tab)->currentIndex() : QModelIndex();
    const QVariant stored = cell.isValid() ? cell.data(RecordModel::StoredValueRole) : QVariant();
    if (cell.isValid() && model->layout().isTextColumn(model->layout().columns.at(cell.column())) &&
        !stored.isNull() && CellSearch::matches(stored.toString(), m_options)) {
        const QString& column = model->layout().columns.at(cell.column());
        const QString text = CellSearch::replaced(stored.toString(), m_options, replacement);
        const QString problem = model->isReadOnly()
                                    ? u"the file is read-only here, so nothing was replaced"_s
                                    : FieldRule::problem(model->layout(), column, text);
        if (!problem.isEmpty()) {
            Q_EMIT failed(
                ScriptError(model->layout().fileName, problem, model->rowNumber(cell.row()), column)
                    .message());
            return false;
        }
        const qint64 id = model->ids().at(cell.row());
        m_history->beginStep(u"Replace"_s);
        RecordSteps::writeBack(
            *model,
            {{id, {{cell.column(), stored, FieldRule::stored(model->layout(), column, text)}}}});
        m_history->endStep();
    }
    return find(true);
}

int CellFinder::replaceAll(const QString& replacement)
{
    if (m_options.text.isEmpty())
        return 0;
    m_form->saveAll();
    struct Planned {
        RecordModel* model;
        RecordModel::Fields fields;
    };
    QList<Planned> plan;
    QStringList refusals;
    int refused = 0;
    int count = 0;
    for (int tab = 0; tab < tabCount; ++tab) {
        RecordModel* model = m_form->model(tab);
        if (!model)
            continue;
        model->completeRows();
        QList<CellSearch::Match> found;
        try {
            found = CellSearch::find(model->table(), m_options);
        } catch (const ScriptError& error) {
            Q_EMIT failed(error.message() + u" Nothing was replaced."_s);
            return 0;
        }
        if (found.isEmpty())
            continue;
        const TableLayout& layout = model->layout();
        if (model->isReadOnly()) {
            const CellSearch::Match& first = found.first();
            ++refused;
            refusals << ScriptError(layout.fileName,
                                    u"the file is read-only here, so none of its %1 matches "
                                    u"can be replaced"_s.arg(found.size()),
                                    model->rowNumber(int(model->ids().indexOf(first.id))),
                                    layout.columns.at(first.column))
                            .message();
            continue;
        }
        Planned planned{model, {}};
        for (const CellSearch::Match& match : found) {
            const QString& column = layout.columns.at(match.column);
            const QString text = CellSearch::replaced(match.text, m_options, replacement);
            const QString problem = FieldRule::problem(layout, column, text);
            if (!problem.isEmpty()) {
                if (++refused <= namedRefusals)
                    refusals << ScriptError(layout.fileName, problem,
                                            model->rowNumber(int(model->ids().indexOf(match.id))),
                                            column)
                                    .message();
                continue;
            }
            planned.fields[match.id] << RecordStore::Change{
                match.column, match.text, FieldRule::stored(layout, column, text)};
            ++count;
        }
        plan << planned;
    }
    if (refused > 0) {
        if (refused > namedRefusals)
            refusals << u"... and %1 more."_s.arg(refused - namedRefusals);
        Q_EMIT failed(u"Nothing was replaced, as not every match can take the replacement:\n"_s +
                      refusals.join(u'\n'));
        return 0;
    }
    if (count == 0) {
        say(u"\"%1\" is nowhere in the script."_s.arg(m_options.text));
        return 0;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    m_history->beginStep(u"Replace All"_s);
    for (const Planned& planned : plan)
        RecordSteps::writeBack(*planned.model, planned.fields);
    m_history->endStep();
    say(count == 1 ? u"Replaced in 1 field."_s : u"Replaced in %1 fields."_s.arg(count));
    return count;
}
