// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/RecordModel.h"

#include "editor/CellLook.h"
#include "editor/RecordSteps.h"
#include "script/FieldRule.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QScopedValueRollback>
#include <QSet>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

RecordModel::RecordModel(std::unique_ptr<ScriptTable> table, QObject* parent)
    : QAbstractTableModel(parent)
    , m_table(std::move(table))
    , m_store(*m_table)
    , m_ids(m_store.firstIds(firstRows))
    , m_cache(m_store, pageSize, maxCachedPages)
    , m_dataVersion(m_store.dataVersion())
    , m_numbers(*this, [this]() -> const QList<qint64>& { return m_ids; })
{
    const auto forgetLargest = [this] { m_largestCount.reset(); };
    connect(this, &QAbstractItemModel::dataChanged, this, forgetLargest);
    connect(this, &QAbstractItemModel::rowsRemoved, this, forgetLargest);
    connect(this, &QAbstractItemModel::rowsInserted, this, forgetLargest);
    connect(this, &QAbstractItemModel::modelReset, this, forgetLargest);
    m_complete = m_ids.size() < firstRows;
    m_poll.setInterval(pollInterval);
    connect(&m_poll, &QTimer::timeout, this, &RecordModel::poll);
    m_poll.start();
}

RecordModel::~RecordModel() = default;

bool RecordModel::isCell(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.row() < rowCount() &&
           index.column() < columnCount();
}

const TableLayout& RecordModel::layout() const
{
    return m_table->layout();
}

bool RecordModel::isReadOnly() const
{
    return m_table->isReadOnly() || m_damaged;
}

void RecordModel::completeRows()
{
    if (m_complete)
        return;
    QList<qint64> all;
    try {
        all = m_store.ids(RecordStore::Order::ById);
    } catch (const ScriptError& error) {
        reportReadFault(ScriptError(m_table->fileName(), error.reason()).message());
        return;
    }
    m_complete = true;
    if (all.size() >= m_ids.size() && std::equal(m_ids.cbegin(), m_ids.cend(), all.cbegin())) {
        if (all.size() > m_ids.size()) {
            beginInsertRows({}, rowCount(), int(all.size()) - 1);
            m_ids = std::move(all);
            endInsertRows();
        }
        return;
    }
    // Another program added or deleted some of the first rows meanwhile.
    beginResetModel();
    m_ids = std::move(all);
    m_cache.clear();
    endResetModel();
}

bool RecordModel::checkIntegrity()
{
    if (m_damaged)
        return false;
    try {
        m_table->checkIntegrity();
    } catch (const ScriptError& error) {
        if (error.isLocked())
            return true; // read when the file is free; the writes meet the same lock meanwhile
        m_damaged = true;
        Q_EMIT failed(error.message() + u"; its rows can be read here but not changed."_s);
        if (rowCount() > 0)
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        return false;
    }
    return true;
}

qint64 RecordModel::largestCount() const
{
    if (!m_largestCount) {
        try {
            m_largestCount =
                layout().columns.contains(TableLayout::countColumn()) ? m_store.largestCount() : 0;
        } catch (const ScriptError&) {
            m_largestCount = 0; // drawn without scale; the cells' own reads tell the fault
        }
    }
    return *m_largestCount;
}

int RecordModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int RecordModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(layout().columns.size());
}

QString RecordModel::describe(const QString& reason, int row, const QString& field) const
{
    return ScriptError(m_table->fileName(), reason, rowNumber(row), field).message();
}

QString RecordModel::describeRows(const QString& reason, const QList<qint64>& ids) const
{
    QList<int> rows;
    for (qint64 id : ids)
        rows << rowNumber(int(m_ids.indexOf(id)));
    std::sort(rows.begin(), rows.end());
    if (rows.size() == 1)
        return ScriptError(m_table->fileName(), reason, rows.first()).message();
    QStringList numbers;
    for (int row : rows)
        numbers << QString::number(row);
    const QString last = numbers.takeLast();
    return u"%1, rows %2 and %3: %4"_s.arg(m_table->fileName(), numbers.join(u", "_s), last,
                                           reason);
}

void RecordModel::reportReadFault(const QString& message) const
{
    // Reads happen while the grid paints, where no message may open; tell it once, later.
    if (m_readFaultReported)
        return;
    m_readFaultReported = true;
    auto* self = const_cast<RecordModel*>(this);
    QTimer::singleShot(0, self, [self, message] { Q_EMIT self->failed(message); });
}

const QVariantList* RecordModel::storedValues(int row) const
{
    try {
        return m_cache.values(m_ids, row);
    } catch (const ScriptError& error) {
        reportReadFault(describe(error.reason(), row));
        return nullptr;
    }
}

QVariant RecordModel::data(const QModelIndex& index, int role) const
{
    if (!isCell(index))
        return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole && !layout().isTextColumn(layout().columns.at(column)))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    const PendingEdits::Cell* edit = m_edits.find(m_ids.at(index.row()), column);
    if (edit && role != StoredValueRole)
        return CellLook::cell(role, edit->value, edit);
    const QVariantList* stored = storedValues(index.row());
    if (!stored)
        return {};
    return role == StoredValueRole ? stored->at(column)
                                   : CellLook::cell(role, stored->at(column), nullptr);
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return CellLook::selector(role, rowNumber(section), isUnsaved(section));
    if (role != Qt::DisplayRole || section < 0 || section >= layout().columns.size())
        return {};
    return layout().columns.at(section);
}

Qt::ItemFlags RecordModel::flags(const QModelIndex& index) const
{
    if (!isCell(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (!isReadOnly())
        result |= Qt::ItemIsEditable;
    return result;
}

int RecordModel::rowOfNumber(int number) const
{
    if (number < 1 || number > m_ids.size())
        return -1;
    QList<qint64> byId = m_ids;
    const auto nth = byId.begin() + (number - 1);
    std::nth_element(byId.begin(), nth, byId.end());
    return int(m_ids.indexOf(*nth));
}

bool RecordModel::isUnsaved(int row) const
{
    return row >= 0 && row < rowCount() && m_edits.contains(m_ids.at(row));
}

void RecordModel::rowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    Q_EMIT headerDataChanged(Qt::Vertical, row, row);
}

void RecordModel::showValues(int row, const QVariantList& values)
{
    m_cache.put(row, m_ids.at(row), values);
    rowChanged(row);
}

void RecordModel::removeRowAt(int row)
{
    beginRemoveRows({}, row, row);
    m_ids.removeAt(row);
    m_cache.clear();
    endRemoveRows();
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

bool RecordModel::edit(const QModelIndex& index, const QString& text, std::optional<QVariant> base)
{
    if (isReadOnly() || !isCell(index) || !checkIntegrity())
        return false;
    const QString& column = layout().columns.at(index.column());
    if (const QString problem = FieldRule::problem(layout(), column, text); !problem.isEmpty()) {
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
    m_edits.set(m_ids.at(index.row()), index.column(), *base,
                FieldRule::stored(layout(), column, text));
    rowChanged(index.row());
    return true;
}

bool RecordModel::write(const QList<qint64>& ids, Attempt attempt)
{
    // A message or a question opens a window of its own, whose events must not start a
    // second save or a refresh halfway through this one.
    const QScopedValueRollback busy(m_busy, true);
    Fields changes;
    for (qint64 id : ids)
        changes.insert(id, m_edits.changes(id));
    QHash<qint64, RecordStore::Written> written;
    try {
        written = m_store.write(changes, attempt == Attempt::Told ? RecordStore::Wait::Patiently
                                                                  : RecordStore::Wait::Briefly);
    } catch (const ScriptError& error) {
        for (qint64 id : ids)
            m_edits.setWaiting(id);
        if (attempt == Attempt::Told)
            Q_EMIT failed(describeRows(
                u"not saved (%1). What you typed stays in the grid, marked %2, and is saved as "
                u"soon as the file is free."_s.arg(error.reason(), CellLook::unsavedMark()),
                ids));
        return false;
    }
    bool allWritten = true;
    QList<qint64> conflicted;
    QList<qint64> deleted;
    for (auto row = written.cbegin(); row != written.cend(); ++row) {
        if (!row->now) {
            deleted << row.key();
            continue;
        }
        m_edits.settle(row.key(), *row);
        const int at = int(m_ids.indexOf(row.key()));
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
    if (const Fields done = RecordSteps::writtenFields(changes, written); !done.isEmpty())
        Q_EMIT saved(done);
    if (!written.isEmpty())
        Q_EMIT wrote();
    for (qint64 id : conflicted)
        allWritten = settleConflict(id) && allWritten;
    return allWritten;
}

bool RecordModel::settleConflict(qint64 id)
{
    const int row = int(m_ids.indexOf(id));
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
        rowChanged(row);
        return true;
    case Choice::Undecided:
        break;
    }
    return false;
}

void RecordModel::dropDeletedRow(qint64 id)
{
    const int row = int(m_ids.indexOf(id));
    if (row < 0)
        return;
    const QString message = describe(u"another program deleted this row, so your change was not "
                                     u"saved; the row leaves the grid."_s,
                                     row) +
                            u" What you typed was %1."_s.arg(m_edits.typed(id, layout().columns));
    m_edits.remove(id);
    removeRowAt(row);
    Q_EMIT failed(message);
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
    const qint64 id = m_ids.at(row);
    if (m_edits.contains(id))
        return write({id}, Attempt::Told);
    return showStoredRow(row);
}

bool RecordModel::showStoredRow(int row)
{
    const qint64 id = m_ids.at(row);
    std::optional<QVariantList> values;
    try {
        values = m_store.read(id);
    } catch (const ScriptError& error) {
        m_cache.dropPage(row);
        Q_EMIT failed(describe(error.reason(), row));
        rowChanged(row);
        return false;
    }
    if (!values) {
        removeRowAt(row); // gone from the file: it leaves the grid too
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
    try {
        id = m_store.addDefaultRow();
    } catch (const ScriptError& error) {
        Q_EMIT failed(
            ScriptError(m_table->fileName(), u"no row could be added (%1)"_s.arg(error.reason()))
                .message());
        return false;
    }
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_ids.append(id);
    m_cache.dropPage(row);
    endInsertRows();
    Q_EMIT rowAdded(id, row);
    Q_EMIT wrote();
    return true;
}

bool RecordModel::deleteRow(int row)
{
    if (row < 0 || row >= rowCount() || !checkIntegrity())
        return false;
    const qint64 id = m_ids.at(row);
    std::optional<QVariantList> values;
    try {
        values = m_store.take(id);
    } catch (const ScriptError& error) {
        Q_EMIT failed(describe(u"the row could not be deleted (%1)"_s.arg(error.reason()), row));
        return false;
    }
    m_edits.remove(id); // the author deletes the row, edits and all
    removeRowAt(row);
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
        Q_EMIT failed(ScriptError(m_table->fileName(),
                                  u"the rows could not be sorted (%1)"_s.arg(error.reason()))
                          .message());
        return false;
    }
    // Edits belong to their rows by ID, so they move with them.
    beginResetModel();
    m_complete = true;
    m_ids = std::move(ids);
    m_cache.clear();
    m_readFaultReported = false;
    endResetModel();
    return true;
}

void RecordModel::poll()
{
    if (m_busy)
        return;
    // Rows not yet listed would look like rows another program added.
    completeRows();
    if (const QList<qint64> waiting = m_edits.waitingRows(); !waiting.isEmpty())
        write(waiting, Attempt::Quiet);
    qint64 version = 0;
    try {
        version = m_store.dataVersion();
    } catch (const ScriptError&) {
        return; // the reads that follow tell what is wrong with the file
    }
    if (version == m_dataVersion)
        return;
    m_dataVersion = version;
    try {
        followAddedAndDeletedRows();
    } catch (const ScriptError&) {
        // The values below are read again all the same, and a read tells what is wrong.
    }
    // Values only: the rows keep their order, and a range of cells leaves the cell being
    // edited, the current cell, the selection and the scroll position as they are.
    m_cache.clear();
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void RecordModel::followAddedAndDeletedRows()
{
    const RecordStore::RowChanges changes = m_store.rowChanges(m_ids);
    QSet<qint64> deleted;
    for (qint64 id : changes.deleted) {
        // A row holding an edit stays until its save tells the author what became of it.
        if (!m_edits.contains(id))
            deleted.insert(id);
    }
    for (int last = rowCount() - 1; last >= 0 && !deleted.isEmpty(); --last) {
        if (!deleted.contains(m_ids.at(last)))
            continue;
        int first = last;
        while (first > 0 && deleted.contains(m_ids.at(first - 1)))
            --first;
        beginRemoveRows({}, first, last);
        m_ids.remove(first, last - first + 1);
        endRemoveRows();
        last = first;
    }
    if (!changes.added.isEmpty()) {
        // New rows come last, as after "Add", whatever the order shown.
        beginInsertRows({}, rowCount(), rowCount() + int(changes.added.size()) - 1);
        m_ids.append(changes.added);
        endInsertRows();
    }
}
