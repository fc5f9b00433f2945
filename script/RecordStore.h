#pragma once

#include <QHash>
#include <QList>
#include <QVariantList>
#include <optional>

class ScriptTable;

// The record operations the editor performs on one script file: the ordered list of row IDs,
// reads of rows by ID, and writes that never overwrite a change made elsewhere.
//
// Values are always those of layout().columns, in order. Every fault is thrown as ScriptError.
class RecordStore {
public:
    enum class Order { ById, ByCountDescending };

    explicit RecordStore(ScriptTable& table);

    ScriptTable& table() const { return *m_table; }

    // All row IDs in the given order; ByCountDescending is most confirmations first, ties by ID.
    QList<qint64> ids(Order order) const;
    // The rows with the given IDs that still exist, keyed by ID.
    QHash<qint64, QVariantList> read(const QList<qint64>& ids) const;
    std::optional<QVariantList> read(qint64 id) const;

    // Writes `values` into row `id` only if the row still holds `original` (the values read
    // before editing). Returns false, writing nothing, when the row changed or is gone.
    bool update(qint64 id, const QVariantList& original, const QVariantList& values);
    // Appends a row in which nothing is set, leaving every field to its default; returns its ID.
    qint64 addDefaultRow();
    // Returns false when the row was already gone.
    bool remove(qint64 id);

    // Makes sure the count order is served by an index, for large special tables.
    void ensureCountIndex();

    // How many IDs one read statement asks for at most.
    static constexpr int readBatch = 200;

private:
    QString columnList() const;

    ScriptTable* m_table;
};
