#include "script/RecordStore.h"

#include "script/ScriptError.h"
#include "script/ScriptTable.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

RecordStore::RecordStore(ScriptTable& table)
    : m_table(&table)
{
}

QString RecordStore::columnList() const
{
    QStringList names;
    for (const QString& column : m_table->layout().columns)
        names << ScriptTable::quoted(column);
    return names.join(u", "_s);
}

QList<qint64> RecordStore::ids(Order order) const
{
    const QString sql = order == Order::ById ? u"SELECT ID FROM Table1 ORDER BY ID"_s
                                             : u"SELECT ID FROM Table1 ORDER BY %1 DESC, ID"_s.arg(
                                                   ScriptTable::quoted(TableLayout::countColumn()));
    QSqlQuery query = m_table->exec(sql);
    QList<qint64> result;
    while (query.next())
        result << query.value(0).toLongLong();
    if (query.lastError().isValid())
        throw ScriptError(m_table->fileName(), query.lastError().text());
    return result;
}

QHash<qint64, QVariantList> RecordStore::read(const QList<qint64>& wanted) const
{
    QHash<qint64, QVariantList> rows;
    const auto width = m_table->layout().columns.size();
    for (qsizetype start = 0; start < wanted.size(); start += readBatch) {
        const QList<qint64> batch = wanted.mid(start, readBatch);
        QStringList marks;
        QVariantList bindings;
        for (qint64 id : batch) {
            marks << u"?"_s;
            bindings << id;
        }
        QSqlQuery query = m_table->exec(
            u"SELECT ID, %1 FROM Table1 WHERE ID IN (%2)"_s.arg(columnList(), marks.join(u',')),
            bindings);
        while (query.next()) {
            QVariantList values;
            values.reserve(width);
            for (qsizetype i = 0; i < width; ++i)
                values << query.value(int(i + 1));
            rows.insert(query.value(0).toLongLong(), std::move(values));
        }
        if (query.lastError().isValid())
            throw ScriptError(m_table->fileName(), query.lastError().text());
    }
    return rows;
}

std::optional<QVariantList> RecordStore::read(qint64 id) const
{
    const auto rows = read(QList<qint64>{id});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.value(id);
}

bool RecordStore::update(qint64 id, const QVariantList& original, const QVariantList& values)
{
    const QStringList& columns = m_table->layout().columns;
    if (original.size() != columns.size() || values.size() != columns.size())
        throw ScriptError(m_table->fileName(),
                          u"a row was saved with the wrong number of fields"_s);

    // Comparing every field with IS (which also matches NULL with NULL) is what makes the
    // save fail rather than overwrite, say, a confirmation the runner has just counted.
    QStringList sets;
    QStringList checks;
    QVariantList bindings;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        sets << ScriptTable::quoted(columns.at(i)) + u" = ?"_s;
        bindings << values.at(i);
    }
    bindings << id;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        checks << ScriptTable::quoted(columns.at(i)) + u" IS ?"_s;
        bindings << original.at(i);
    }
    int changed = 0;
    m_table->writeTransaction([&] {
        QSqlQuery query = m_table->exec(u"UPDATE Table1 SET %1 WHERE ID = ? AND %2"_s.arg(
                                            sets.join(u", "_s), checks.join(u" AND "_s)),
                                        bindings);
        changed = query.numRowsAffected();
    });
    return changed > 0;
}

qint64 RecordStore::addDefaultRow()
{
    qint64 id = 0;
    m_table->writeTransaction([&] {
        QSqlQuery query = m_table->exec(u"INSERT INTO Table1 DEFAULT VALUES"_s);
        id = query.lastInsertId().toLongLong();
    });
    return id;
}

bool RecordStore::remove(qint64 id)
{
    int changed = 0;
    m_table->writeTransaction([&] {
        changed = m_table->exec(u"DELETE FROM Table1 WHERE ID = ?"_s, {id}).numRowsAffected();
    });
    return changed > 0;
}

void RecordStore::ensureCountIndex()
{
    if (m_table->isReadOnly() || !m_table->layout().columns.contains(TableLayout::countColumn()))
        return;
    m_table->exec(u"CREATE INDEX IF NOT EXISTS Table1_Yes ON Table1 (%1 DESC, ID)"_s.arg(
        ScriptTable::quoted(TableLayout::countColumn())));
}
