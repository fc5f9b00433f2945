#include "editor/RecordModel.h"

#include "script/FieldRule.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"

#include <QTimer>

using namespace Qt::Literals::StringLiterals;

RecordModel::RecordModel(std::unique_ptr<ScriptTable> table, QObject* parent)
    : QAbstractTableModel(parent)
    , m_table(std::move(table))
    , m_store(*m_table)
    , m_ids(m_store.ids(RecordStore::Order::ById))
    , m_cache(maxCachedPages)
{
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
    return m_table->isReadOnly();
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
    return ScriptError(m_table->fileName(), reason, row + 1, field).message();
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
    const int pageNumber = row / pageSize;
    Page* page = m_cache.object(pageNumber);
    if (!page) {
        try {
            page = new Page(m_store.read(m_ids.mid(qsizetype(pageNumber) * pageSize, pageSize)));
        } catch (const ScriptError& error) {
            reportReadFault(describe(error.reason(), row));
            return nullptr;
        }
        m_cache.insert(pageNumber, page);
    }
    const auto found = page->constFind(m_ids.at(row));
    return found == page->constEnd() ? nullptr : &found.value();
}

std::optional<QVariantList> RecordModel::currentValues(int row) const
{
    if (m_pending && m_pending->id == m_ids.at(row))
        return m_pending->values;
    if (const QVariantList* values = storedValues(row))
        return *values;
    return std::nullopt;
}

QVariant RecordModel::data(const QModelIndex& index, int role) const
{
    if (!isCell(index))
        return {};
    const QString& column = layout().columns.at(index.column());
    if (role == Qt::TextAlignmentRole && !layout().isTextColumn(column))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const auto values = currentValues(index.row());
    if (!values)
        return {};
    const QVariant& value = values->at(index.column());
    return value.isNull() ? QString() : value.toString();
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString(); // the selector marks the current row; it carries no number
    if (section < 0 || section >= layout().columns.size())
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

bool RecordModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || isReadOnly() || !isCell(index))
        return false;
    const QString& column = layout().columns.at(index.column());
    const QString text = value.toString();
    if (const QString problem = FieldRule::problem(layout(), column, text); !problem.isEmpty()) {
        Q_EMIT failed(describe(problem, index.row(), column));
        return false;
    }
    const qint64 id = m_ids.at(index.row());
    if (m_pending && m_pending->id != id)
        savePending();
    if (!m_pending) {
        const QVariantList* stored = storedValues(index.row());
        if (!stored) {
            Q_EMIT failed(describe(u"the row cannot be read, so it cannot be changed"_s,
                                   index.row(), column));
            return false;
        }
        m_pending = Pending{id, *stored, *stored};
    }
    m_pending->values[index.column()] = FieldRule::stored(layout(), column, text);
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

int RecordModel::pendingRow() const
{
    return m_pending ? int(m_ids.indexOf(m_pending->id)) : -1;
}

QString RecordModel::unsavedText(const Pending& edit) const
{
    QStringList changes;
    for (qsizetype i = 0; i < edit.values.size(); ++i) {
        if (edit.values.at(i) != edit.original.at(i))
            changes << u"\"%1\": \"%2\""_s.arg(layout().columns.at(i),
                                               edit.values.at(i).toString());
    }
    return changes.isEmpty() ? QString() : u" What you typed was "_s + changes.join(u", "_s) + u'.';
}

bool RecordModel::write(int row, const Pending& edit)
{
    bool written = false;
    try {
        written = m_store.update(edit.id, edit.original, edit.values);
    } catch (const ScriptError& error) {
        m_pending = edit; // kept, so that a later save can still write it
        Q_EMIT failed(describe(u"the row could not be saved (%1)."_s.arg(error.reason()), row) +
                      unsavedText(edit));
        return false;
    }
    if (!written) {
        Q_EMIT failed(describe(u"another program changed or deleted this row after it was read, "
                               u"so your change was not saved; the row now shows what the file "
                               u"holds."_s,
                               row) +
                      unsavedText(edit));
    }
    showStoredRow(row);
    return written;
}

bool RecordModel::savePending()
{
    if (!m_pending)
        return true;
    const Pending edit = *std::exchange(m_pending, std::nullopt);
    const int row = int(m_ids.indexOf(edit.id));
    if (row < 0)
        return true; // the row was deleted here; its edit went with it
    return write(row, edit);
}

bool RecordModel::saveRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    if (m_pending && m_pending->id != m_ids.at(row))
        savePending();
    if (m_pending)
        return savePending();
    const QVariantList* stored = storedValues(row);
    if (!stored) {
        Q_EMIT failed(describe(u"the row cannot be read, so it cannot be saved"_s, row));
        return false;
    }
    return write(row, Pending{m_ids.at(row), *stored, *stored});
}

void RecordModel::showStoredRow(int row)
{
    const qint64 id = m_ids.at(row);
    std::optional<QVariantList> values;
    try {
        values = m_store.read(id);
    } catch (const ScriptError& error) {
        m_cache.remove(row / pageSize);
        Q_EMIT failed(describe(error.reason(), row));
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
        return;
    }
    if (!values) {
        // Gone from the file: it leaves the grid too.
        beginRemoveRows({}, row, row);
        m_ids.removeAt(row);
        m_cache.clear();
        endRemoveRows();
        return;
    }
    if (Page* page = m_cache.object(row / pageSize))
        page->insert(id, *values);
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

bool RecordModel::addRow()
{
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
    m_cache.remove(row / pageSize);
    endInsertRows();
    return true;
}

bool RecordModel::deleteRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    const qint64 id = m_ids.at(row);
    if (m_pending && m_pending->id == id)
        m_pending.reset(); // the author deletes the row, edit and all
    try {
        m_store.remove(id);
    } catch (const ScriptError& error) {
        Q_EMIT failed(describe(u"the row could not be deleted (%1)"_s.arg(error.reason()), row));
        return false;
    }
    beginRemoveRows({}, row, row);
    m_ids.removeAt(row);
    m_cache.clear();
    endRemoveRows();
    return true;
}

bool RecordModel::sortByCount()
{
    savePending();
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
    beginResetModel();
    m_ids = std::move(ids);
    m_cache.clear();
    m_readFaultReported = false;
    endResetModel();
    return true;
}
