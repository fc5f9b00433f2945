// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/history/ReplaceStep.h"

#include "editor/model/CellLook.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"

#include <QScopeGuard>

using namespace Qt::Literals::StringLiterals;

namespace {
// How many fields another program changed meanwhile are named; the rest are counted.
constexpr int named = 5;

qsizetype sizeOf(const QList<ReplaceStep::Part>& parts)
{
    qsizetype total = 0;
    for (const ReplaceStep::Part& part : parts)
        total += part.changes.size();
    return total;
}
} // namespace

ReplaceStep::ReplaceStep(const QString& text, QList<Part> parts, QWidget* window, Report report)
    : QUndoCommand(text)
    , m_parts(std::move(parts))
    , m_window(window)
    , m_report(std::move(report))
{
}

qsizetype ReplaceStep::size() const
{
    return sizeOf(m_parts);
}

ReplaceStep::Run ReplaceStep::write(TextChanges::Way way, const QString& doing)
{
    const auto label = [&doing](qsizetype done, qsizetype total) {
        return u"%1: %2 of %3 fields"_s.arg(doing, QString::number(done), QString::number(total));
    };
    const auto count = m_parts.size();
    Run run;
    run.reached.fill(0, count);
    run.missed.resize(count);
    StepRunner runner(m_window, text());
    const qsizetype total = size();
    for (const Part& part : m_parts) {
        if (part.model)
            part.model->hold(true);
    }
    const auto release = qScopeGuard([this] {
        for (const Part& part : m_parts) {
            if (part.model)
                part.model->hold(false);
        }
    });
    qsizetype next = 0; // among the parts, undone in the opposite order to the one done in
    const auto at = [&] { return way == TextChanges::Way::Forward ? next : count - 1 - next; };
    runner.show(label(0, total), 0, total);
    const auto step = [&] {
        while (next < count &&
               (!m_parts.at(at()).model || run.reached.at(at()) == m_parts.at(at()).changes.size()))
            ++next;
        if (next == count)
            return true;
        Part& part = m_parts[at()];
        if (!part.model->isSameFile(part.generation)) {
            // Never done in a file other than the one it was done in: told, and passed over.
            run.reached[at()] = part.changes.size();
            return false;
        }
        const qsizetype from = run.reached.at(at());
        run.reached[at()] = part.model->store().writeTexts(
            part.changes, from, way, StepRunner::writeTime, StepRunner::lockWait, run.missed[at()]);
        run.written += run.reached.at(at()) - from;
        part.model->showStepWritten();
        runner.show(label(run.written, total), run.written, total);
        return false;
    };
    run.outcome = runner.run(step, StepRunner::writePause);
    run.error = runner.error();
    for (qsizetype i = 0; i < count; ++i) {
        run.missedCount += run.missed.at(i).size();
        run.left += m_parts.at(i).changes.size() - run.reached.at(i);
    }
    run.written -= run.missedCount;
    if (run.missedCount > 0 && m_report.tell)
        m_report.tell(describeMissed(run, way));
    return run;
}

void ReplaceStep::keepWritten(const Run& run)
{
    if (run.isWhole() && run.missedCount == 0)
        return;
    QList<Part> kept;
    for (qsizetype i = 0; i < m_parts.size(); ++i) {
        const Part& part = m_parts.at(i);
        if (TextChanges written = part.changes.part(0, run.reached.at(i), run.missed.at(i));
            !written.isEmpty())
            kept << Part{part.model, std::move(written), part.generation};
    }
    m_parts = std::move(kept);
    StepRunner::giveBackMemory();
}

void ReplaceStep::keepLeft(const Run& run)
{
    QList<Part> kept;
    for (qsizetype i = 0; i < m_parts.size(); ++i) {
        const Part& part = m_parts.at(i);
        if (TextChanges left = part.changes.part(run.reached.at(i), part.changes.size());
            !left.isEmpty())
            kept << Part{part.model, std::move(left), part.generation};
    }
    m_parts = std::move(kept);
    StepRunner::giveBackMemory();
}

QString ReplaceStep::describeMissed(const Run& run, TextChanges::Way way) const
{
    QStringList lines;
    for (qsizetype i = 0; i < m_parts.size() && lines.size() < named; ++i) {
        const Part& part = m_parts.at(i);
        for (qsizetype at : run.missed.at(i)) {
            if (lines.size() >= named || !part.model)
                break;
            RecordModel& model = *part.model;
            const qint64 id = part.changes.id(at);
            const int column = part.changes.column(at);
            std::optional<QVariantList> now;
            try {
                now = model.store().read(id);
            } catch (const ScriptError& error) {
                lines << error.message();
                continue;
            }
            const QString file = model.table().fileName();
            if (!now) {
                lines << ScriptError(file, u"another program deleted the row with ID %1, so it "
                                           u"was left out"_s.arg(id))
                             .message();
                continue;
            }
            lines << ScriptError(file,
                                 u"another program changed this field since, to %1, so it was "
                                 u"left as it is"_s.arg(CellLook::quoted(now->at(column))),
                                 model.rows().numberOf(id), model.layout().columns.at(column))
                         .message();
        }
    }
    if (run.missedCount > lines.size())
        lines << u"... and %1 more."_s.arg(run.missedCount - lines.size());
    const QString heading = way == TextChanges::Way::Forward
                                ? u"%1 of the fields were not replaced:\n"_s
                                : u"%1 of the fields were not put back:\n"_s;
    return heading.arg(run.missedCount) + lines.join(u'\n');
}

void ReplaceStep::stopped(const Run& run, TextChanges::Way way, const QString& what)
{
    const qsizetype all = run.written + run.left + run.missedCount;
    const QString written = QString::number(run.written);
    QString summary;
    if (way == TextChanges::Way::Forward) {
        summary = run.written == 0
                      ? u"%1 stopped; nothing was replaced."_s.arg(what)
                      : u"%1 stopped: %2 of %3 fields replaced; Undo takes them back."_s.arg(
                            what, written, QString::number(all));
    } else {
        summary = u"%1 stopped: %2 of %3 fields are back as they were; Undo takes back the other "
                  u"%4."_s.arg(what, written, QString::number(all), QString::number(run.left));
    }
    if (run.outcome == StepRunner::Outcome::Failed && m_report.tell)
        m_report.tell(run.error ? run.error->message() + u' ' + summary : summary);
    else if (m_report.status)
        m_report.status(summary);
}

bool ReplaceStep::writeFirst(const QString& doing)
{
    const Run run = write(TextChanges::Way::Forward, doing);
    if (!run.isWhole())
        stopped(run, TextChanges::Way::Forward, text());
    keepWritten(run);
    return run.isWhole();
}

bool ReplaceStep::undoAhead()
{
    const Run run = write(TextChanges::Way::Back, u"Undoing %1"_s.arg(text()));
    if (!run.isWhole()) {
        stopped(run, TextChanges::Way::Back, u"Undo of %1"_s.arg(text()));
        keepLeft(run);
        return false;
    }
    m_ahead = true;
    // A step that could not be undone whole leaves the history; what was not is named.
    if (run.missedCount > 0)
        setObsolete(true);
    return true;
}

bool ReplaceStep::redoAhead()
{
    const Run run = write(TextChanges::Way::Forward, u"Redoing %1"_s.arg(text()));
    if (!run.isWhole()) {
        stopped(run, TextChanges::Way::Forward, u"Redo of %1"_s.arg(text()));
        if (run.written == 0)
            return false;
        keepWritten(run);
    } else if (run.missedCount > 0) {
        setObsolete(true);
    }
    m_ahead = true;
    return true;
}

void ReplaceStep::undo()
{
    if (!std::exchange(m_ahead, false))
        writeAsked(TextChanges::Way::Back);
}

void ReplaceStep::redo()
{
    if (!std::exchange(m_done, false) && !std::exchange(m_ahead, false))
        writeAsked(TextChanges::Way::Forward);
}

void ReplaceStep::writeAsked(TextChanges::Way way)
{
    // Asked by the stack itself: whatever is written is what the opposite move takes back.
    const bool forward = way == TextChanges::Way::Forward;
    const Run run = write(way, (forward ? u"Redoing %1"_s : u"Undoing %1"_s).arg(text()));
    if (!run.isWhole())
        stopped(run, way, (forward ? u"Redo of %1"_s : u"Undo of %1"_s).arg(text()));
    if (run.missedCount > 0)
        setObsolete(true);
    keepWritten(run);
}
