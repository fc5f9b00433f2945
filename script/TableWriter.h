// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

class ScriptTable;

// Appends rows to a script table in batches: many rows to one prepared statement, so that a
// table of any size is written quickly and in constant memory. The caller holds the
// transaction (ScriptTable::writeTransaction), so that a failure leaves the table as it was,
// indexes included.
//
// The table's indexes are set aside while the rows come and built again by finish(): kept up
// row by row, an index on the counts takes its pages in no order, and a large table then
// spends most of its time writing and rewriting them.
class TableWriter {
public:
    explicit TableWriter(ScriptTable& table);
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // Values are given for the layout's columns, in order. Throws ScriptError naming the file.
    void append(QVariantList&& values);
    // Writes the rows still held back and builds the indexes again.
    void finish();

private:
    QSqlQuery prepared(int rows) const;
    void write(QSqlQuery& statement, qsizetype rows);

    ScriptTable& m_table;
    QStringList m_indexes; // the statements that made them
    QSqlQuery m_batch;
    QVariantList m_pending;
};
