// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptRow.h"

#include "script/ScriptError.h"
#include "script/TableLayout.h"

using namespace Qt::Literals::StringLiterals;

ScriptRow::ScriptRow(const TableLayout& layout, const QStringList& columns, int number, qint64 id,
                     QVariantList values, QString table)
    : m_table(std::move(table))
    , m_columns(columns)
    , m_number(number)
    , m_id(id)
    , m_values(std::move(values))
{
    if (m_table.isEmpty())
        m_table = layout.fileName;
}

bool ScriptRow::isNull(int index) const
{
    return m_values.at(index).isNull();
}

QString ScriptRow::text(int index) const
{
    const QVariant& value = m_values.at(index);
    if (value.isNull())
        throw ScriptError(m_table,
                          u"the field is empty (null); it must hold a text, "
                          u"even an empty one"_s,
                          m_number, m_columns.at(index));
    return value.toString();
}
