// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/TableWriter.h"

#include "script/ScriptTable.h"

#include <QSqlError>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {
// Rows to one statement: past a few dozen the statement's own cost no longer counts, and
// SQLite takes at most 32766 values to a statement.
constexpr int batchRows = 64;
} // namespace

TableWriter::TableWriter(ScriptTable& table)
    : m_table(table)
{
    // A server keeps its index up as the rows come without that cost.
    if (table.isOnServer()) {
        m_batch = prepared(batchRows);
        return;
    }
    QSqlQuery indexes = table.exec(u"SELECT name, sql FROM sqlite_master WHERE type = 'index' "
                                   u"AND tbl_name = 'Table1' AND sql IS NOT NULL"_s);
    QStringList names;
    while (indexes.next()) {
        names << indexes.value(0).toString();
        m_indexes << indexes.value(1).toString();
    }
    indexes.finish();
    for (const QString& name : std::as_const(names))
        table.exec(u"DROP INDEX %1"_s.arg(ScriptTable::quoted(name)));
    m_batch = prepared(batchRows);
    m_pending.reserve(batchRows * table.layout().columns.size());
}

QSqlQuery TableWriter::prepared(int rows) const
{
    const QStringList& columns = m_table.layout().columns;
    QStringList names;
    for (const QString& column : columns)
        names << ScriptTable::quoted(column);
    const QString marks = u"("_s + QStringList(columns.size(), u"?"_s).join(u", "_s) + u")"_s;
    QSqlQuery query(m_table.database());
    if (!query.prepare(u"INSERT INTO %1 (%2) VALUES %3"_s.arg(
            m_table.sqlName(), names.join(u", "_s), QStringList(rows, marks).join(u", "_s))))
        m_table.fail(query.lastError());
    return query;
}

void TableWriter::append(QVariantList&& values)
{
    m_pending.append(std::move(values));
    if (m_pending.size() == qsizetype(batchRows) * m_table.layout().columns.size())
        write(m_batch, batchRows);
}

void TableWriter::finish()
{
    if (const qsizetype rows = m_pending.size() / m_table.layout().columns.size(); rows > 0) {
        QSqlQuery rest = prepared(int(rows));
        write(rest, rows);
    }
    for (const QString& index : std::as_const(m_indexes))
        m_table.exec(index);
    m_indexes.clear();
}

void TableWriter::write(QSqlQuery& statement, qsizetype rows)
{
    Q_ASSERT(m_pending.size() == rows * m_table.layout().columns.size());
    for (qsizetype i = 0; i < m_pending.size(); ++i)
        statement.bindValue(int(i), m_pending.at(i));
    if (!statement.exec())
        m_table.fail(statement.lastError());
    m_pending.clear();
}
