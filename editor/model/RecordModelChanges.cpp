// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What of RecordModel is the author's changes: edits held and saved field by field, rows
// added, deleted and sorted. The steps of the undo history written past the edits held are in
// RecordModelSteps.cpp, the Qt adaptor and the file's watch in RecordModel.cpp.
#include "editor/model/CellLook.h"
#include "editor/model/RecordModel.h"
#include "script/FieldRule.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"
#include "windowkit/BusyCursor.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

// The changes that reached the file, each with the value it held before as its base.
RecordModel::Fields RecordModel::writtenFields(const Fields& asked,
                                               const QHash<qint64, RecordStore::Written>& written)
{
    Fields done;
    for (auto row = written.cbegin(); row != written.cend(); ++row) {
        for (const RecordStore::Change& change : asked.value(row.key())) {
            if (row->written.contains(change.column))
                done[row.key()] << change;
        }
    }
    return done;
}

bool RecordModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    return role == Qt::EditRole && edit(index, value.toString(), std::nullopt);
}

bool RecordModel::setItemData(const QModelIndex& index, const QMap<int, QVariant>& roles)
{
    if (!roles.contains(Qt::EditRole))
        return false;
    std::optional<QVariant> base;
    if (roles.contains(StoredValueRole))
        base = roles.value(StoredValueRole);
    return edit(index, roles.value(Qt::EditRole).toString(), base);
}

void RecordModel::setEmptyText(const QModelIndexList& cells)
{
    for (const QModelIndex& cell : cells) {
        if (isCell(cell) && layout().isTextColumn(layout().columns.at(cell.column())))
            edit(cell, u""_s, std::nullopt);
    }
}

bool RecordModel::setNull(const QModelIndex& index)
{
    return edit(index, {}, std::nullopt, true);
}

bool RecordModel::edit(const QModelIndex& index, const QString& text, std::optional<QVariant> base,
                       bool asNull)
{
    if (isReadOnly() || !isCell(index) || !checkIntegrity())
        return false;
    const QString& column = layout().columns.at(index.column());
    if (const QString problem = FieldRule::problem(layout(), column, text);
        !asNull && !problem.isEmpty()) {
        Q_EMIT failed(describe(problem, index.row(), column));
        return false;
    }
    if (!base) {
        const QVariantList* stored = storedValues(index.row());
        if (!stored) {
            Q_EMIT failed(describe(u"the row cannot be read, so it cannot be changed"_s,
                                   index.row(), column));
            return false;
        }
        base = stored->at(index.column());
    }
    const QVariant null(layout().isTextColumn(column) ? QMetaType::fromType<QString>()
                                                      : QMetaType::fromType<qlonglong>());
    m_edits.set(m_rows.id(index.row()), index.column(), *base,
                asNull ? null : FieldRule::stored(layout(), column, text));
    rowChanged(index.row());
    return true;
}

QHash<qint64, RecordStore::Written> RecordModel::writeWaiting(const Fields& changes)
{
    // Another program's lock is waited out in short tries with the window painting and the
    // busy cursor showing, as the runner waits; what the author types meanwhile waits its turn,
    // so no second save starts halfway through this one.
    std::optional<BusyCursor> busyCursor;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        try {
            return m_store.write(changes, RecordStore::Wait::Briefly);
        } catch (const ScriptError& error) {
            if (!error.isLocked() || waited.elapsed() >= lockPatience.count())
                throw;
        }
        // A model may serve a program without windows, which has no cursor to show.
        if (!busyCursor && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            busyCursor.emplace();
        QEventLoop pause;
        QTimer::singleShot(lockRetry, &pause, &QEventLoop::quit);
        pause.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

bool RecordModel::write(const QList<qint64>& ids, Attempt attempt)
{
    Fields changes;
    for (qint64 id : ids)
        changes.insert(id, m_edits.changes(id));
    QHash<qint64, RecordStore::Written> written;
    try {
        const QScopedValueRollback busy(m_busy, true);
        written = attempt == Attempt::Told ? writeWaiting(changes)
                                           : m_store.write(changes, RecordStore::Wait::Briefly);
    } catch (const ScriptError& error) {
        for (qint64 id : ids)
            m_edits.setWaiting(id);
        // Told with the model free again: the edits are written as soon as the file is free,
        // also while the author still reads this.
        if (attempt == Attempt::Told)
            Q_EMIT failed(describeRows(
                error.kind() == ScriptError::Kind::Full
                    ? u"not saved (%1). What you typed stays in the grid, marked %2: free some "
                      u"space on the disk, and it is saved as soon as there is room."_s.arg(
                          error.reason(), CellLook::unsavedMark())
                    : u"not saved (%1). What you typed stays in the grid, marked %2, and is saved "
                      u"as soon as the file is free."_s.arg(error.reason(),
                                                            CellLook::unsavedMark()),
                ids));
        return false;
    }
    const QScopedValueRollback busy(m_busy, true);
    bool allWritten = true;
    QList<qint64> conflicted;
    QList<qint64> deleted;
    for (auto row = written.cbegin(); row != written.cend(); ++row) {
        if (!row->now) {
            deleted << row.key();
            continue;
        }
        m_edits.settle(row.key(), *row);
        const int at = m_rows.rowOf(row.key());
        if (at < 0)
            continue;
        showValues(at, *row->now);
        if (!row->conflicts.isEmpty())
            conflicted << row.key();
    }
    for (qint64 id : deleted) {
        dropDeletedRow(id);
        allWritten = false;
    }
    if (const Fields done = writtenFields(changes, written); !done.isEmpty())
        Q_EMIT saved(done);
    if (!written.isEmpty())
        Q_EMIT wrote();
    for (qint64 id : conflicted)
        allWritten = settleConflict(id) && allWritten;
    return allWritten;
}

bool RecordModel::settleConflict(qint64 id)
{
    const int row = m_rows.rowOf(id);
    if (row < 0 || !m_edits.hasConflict(id))
        return true;
    const QString question =
        describe(u"another program changed what you were editing: %1. Keep mine (write it over "
                 u"theirs) or take theirs?"_s.arg(m_edits.conflicts(id, layout().columns)),
                 row);
    const Choice choice = m_resolver ? m_resolver(question) : Choice::Undecided;
    switch (choice) {
    case Choice::KeepMine:
        m_edits.keepMine(id);
        return write({id}, Attempt::Told);
    case Choice::TakeTheirs:
        m_edits.takeTheirs(id);
        // Found again: rows may have come and gone while the question was open.
        if (const int now = m_rows.rowOf(id); now >= 0)
            rowChanged(now);
        return true;
    case Choice::Undecided:
        break;
    }
    return false;
}

void RecordModel::dropDeletedRow(qint64 id)
{
    const int row = m_rows.rowOf(id);
    if (row < 0)
        return;
    const QString message = describe(u"another program deleted this row, so your change was not "
                                     u"saved; the row leaves the grid."_s,
                                     row) +
                            u" What you typed was %1."_s.arg(m_edits.typed(id, layout().columns));
    const QString texts = m_edits.texts(id).join(u'\n');
    m_edits.remove(id);
    m_rows.remove(row);
    Q_EMIT typedTextLost(message, texts);
}

bool RecordModel::savePending()
{
    // While earlier edits wait for a file another program holds, the author has been told;
    // later ones join them without another long wait or another message.
    const bool waiting = !m_edits.waitingRows().isEmpty();
    return write(m_edits.rows(), waiting ? Attempt::Quiet : Attempt::Told);
}

bool RecordModel::saveRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    const qint64 id = m_rows.id(row);
    if (m_edits.contains(id))
        return write({id}, Attempt::Told);
    return showStoredRow(row);
}

bool RecordModel::showStoredRow(int row)
{
    const qint64 id = m_rows.id(row);
    std::optional<QVariantList> values;
    try {
        values = m_store.read(id);
    } catch (const ScriptError& error) {
        m_rows.forgetValues(row);
        Q_EMIT failed(describe(error.reason(), row));
        rowChanged(row);
        return false;
    }
    if (!values) {
        m_rows.remove(row); // gone from the file: it leaves the grid too
        return false;
    }
    showValues(row, *values);
    return true;
}

bool RecordModel::addRow()
{
    if (!checkIntegrity())
        return false;
    completeRows(); // the new row comes after every other
    qint64 id = 0;
    std::optional<QVariantList> values;
    try {
        id = m_store.addDefaultRow();
        // What the file gave the row, for its undo to tell whether anyone wrote into it since.
        values = m_store.read(id);
    } catch (const ScriptError& error) {
        if (id == 0) {
            Q_EMIT failed(describeFile(u"no row could be added (%1)"_s.arg(error.reason())));
            return false;
        }
    }
    const int row = rowCount();
    m_rows.append(id);
    Q_EMIT rowAdded(id, row, values.value_or(QVariantList()));
    Q_EMIT wrote();
    return true;
}

bool RecordModel::deleteRow(int row)
{
    if (row < 0 || row >= rowCount() || !checkIntegrity())
        return false;
    const qint64 id = m_rows.id(row);
    std::optional<QVariantList> values;
    try {
        values = m_store.take(id);
    } catch (const ScriptError& error) {
        Q_EMIT failed(describe(u"the row could not be deleted (%1)"_s.arg(error.reason()), row));
        return false;
    }
    m_edits.remove(id); // the author deletes the row, edits and all
    m_rows.remove(row);
    if (values)
        Q_EMIT rowDeleted(id, row, *values);
    Q_EMIT wrote();
    return true;
}

bool RecordModel::sortByCount()
{
    try {
        // Made on the first sort, not on opening: opening a file never changes it.
        m_store.ensureCountIndex();
    } catch (const ScriptError&) {
        // Sorting works without the index, only slower; a busy file must not stop it.
    }
    QList<qint64> ids;
    try {
        ids = m_store.ids(RecordStore::Order::ByCountDescending);
    } catch (const ScriptError& error) {
        Q_EMIT failed(describeFile(u"the rows could not be sorted (%1)"_s.arg(error.reason())));
        return false;
    }
    // Edits belong to their rows by ID, so they move with them.
    m_readFaultReported = false;
    m_rows.reorder(std::move(ids));
    return true;
}
