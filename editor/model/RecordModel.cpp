// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/RecordModel.h"

#include "editor/model/CellLook.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

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
