#pragma once

#include "script/RecordStore.h"

#include <QAbstractTableModel>
#include <QCache>
#include <memory>
#include <optional>

class ScriptTable;
struct TableLayout;

// The rows of one script file for a grid: one column per field after ID, named after it.
//
// Only the ordered list of IDs is held in full; row values are read in pages kept in a
// bounded cache, so scrolling through a large table does not pile up memory. An edit is
// held for one row at a time and written by savePending() without overwriting a change that
// another program made meanwhile. Faults are never shown here: they are told through failed().
class RecordModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Throws ScriptError when the row list cannot be read.
    explicit RecordModel(std::unique_ptr<ScriptTable> table, QObject* parent = nullptr);
    ~RecordModel() override;

    const TableLayout& layout() const;
    bool isReadOnly() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Refuses, through failed(), a value its field does not accept; the edit joins the
    // pending edit of its row, saving first the pending edit of any other row.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    bool hasPendingEdit() const { return m_pending.has_value(); }
    int pendingRow() const;
    // Writes the pending edit. Returns false when it could not be written; on a conflict the
    // edit is dropped and the row shows what the file now holds.
    bool savePending();
    // Saves `row` at once, as read or as edited; fails on a conflict like savePending().
    bool saveRow(int row);
    // Appends a row holding the file's defaults; the new row is the last one.
    bool addRow();
    bool deleteRow(int row);
    // Puts the rows in order of their count, most first, as the file now holds them.
    bool sortByCount();

    int cachedPages() const { return int(m_cache.size()); }
    static constexpr int pageSize = 100;
    static constexpr int maxCachedPages = 40;

Q_SIGNALS:
    // A message for the author naming file, row and field.
    void failed(const QString& message);

private:
    struct Pending {
        qint64 id;
        QVariantList original;
        QVariantList values;
    };
    using Page = QHash<qint64, QVariantList>;

    bool isCell(const QModelIndex& index) const;
    const QVariantList* storedValues(int row) const;
    std::optional<QVariantList> currentValues(int row) const;
    bool write(int row, const Pending& edit);
    void showStoredRow(int row);
    void reportReadFault(const QString& message) const;
    QString describe(const QString& reason, int row, const QString& field = {}) const;
    QString unsavedText(const Pending& edit) const;

    std::unique_ptr<ScriptTable> m_table;
    RecordStore m_store;
    QList<qint64> m_ids;
    mutable QCache<int, Page> m_cache;
    mutable bool m_readFaultReported = false;
    std::optional<Pending> m_pending;
};
