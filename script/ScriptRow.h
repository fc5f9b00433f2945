// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

struct TableLayout;

// One row of Table1 as read in ID order, with the columns that were asked for.
class ScriptRow {
public:
    // `table` names the table in messages; the layout's file name when empty.
    ScriptRow(const TableLayout& layout, const QStringList& columns, int number, qint64 id,
              QVariantList values, QString table = {});

    int number() const { return m_number; } // 1 for the first row in ID order
    qint64 id() const { return m_id; }
    bool isNull(int index) const;
    QVariant value(int index) const { return m_values.at(index); }
    const QVariantList& values() const { return m_values; }

    // The text of a column; a null here is a fault the author must mend, so it throws
    // ScriptError naming file, row and field.
    QString text(int index) const;

private:
    QString m_table;
    QStringList m_columns;
    int m_number;
    qint64 m_id;
    QVariantList m_values;
};
