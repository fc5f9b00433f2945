// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/SpecialCases.h"

#include "script/ScriptError.h"
#include "script/SpecialRules.h"

#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace {
// Field positions in Table1 count from 0 with ID; `fields` starts at position 2.
constexpr int firstField = 2;
} // namespace

SpecialCases::SpecialCases(std::unique_ptr<ScriptTable> table)
    : m_table(std::move(table))
{
    const QString key = ScriptTable::quoted(TableLayout::keyColumn());
    // NULLS LAST as SQLite places them, so that both stores ask in the same order.
    QSqlQuery ids = m_table->exec(
        u"SELECT %1 FROM %2 ORDER BY \"Yes\" DESC NULLS LAST, %1"_s.arg(key, m_table->sqlName()));
    while (ids.next())
        m_order << ids.value(0).toLongLong();
}

QString SpecialCases::Case::text(int position) const
{
    const QVariant& value = fields.at(position - firstField);
    if (!SpecialRules::canAsk(value))
        throw ScriptError(table->fileName(), SpecialRules::unaskedReason(position), row(),
                          table->layout().columns.at(position - 1));
    return value.toString();
}

int SpecialCases::Case::row() const
{
    // Only for messages: a file held by another program names no row rather than a second
    // fault in place of the first.
    try {
        QSqlQuery count =
            table->exec(u"SELECT count(*) FROM %1 WHERE %2 <= ?"_s.arg(
                            table->sqlName(), ScriptTable::quoted(TableLayout::keyColumn())),
                        {id});
        return count.next() ? count.value(0).toInt() : 0;
    } catch (const ScriptError&) {
        return 0;
    }
}

std::optional<SpecialCases::Case> SpecialCases::current() const
{
    if (atEnd())
        return std::nullopt;
    m_table->checkStillThere();
    const qint64 id = m_order.at(m_position);
    QStringList columns;
    for (qsizetype i = firstField - 1; i < m_table->layout().columns.size(); ++i)
        columns << ScriptTable::quoted(m_table->layout().columns.at(i));
    QSqlQuery query = m_table->exec(
        u"SELECT %1 FROM %2 WHERE %3 = ?"_s.arg(columns.join(u", "_s), m_table->sqlName(),
                                                ScriptTable::quoted(TableLayout::keyColumn())),
        {id});
    if (!query.next())
        return std::nullopt;
    Case found;
    found.id = id;
    found.table = m_table.get();
    for (qsizetype i = 0; i < columns.size(); ++i)
        found.fields << ScriptTable::fieldValue(query.value(int(i)));
    return found;
}

void SpecialCases::countConfirmation()
{
    const QString count = ScriptTable::quoted(TableLayout::countColumn());
    // Counting in the statement itself, not from a value read earlier, is what keeps a count
    // made while the editor saves the same row from being lost or losing the editor's text.
    int changed = 0;
    std::optional<Case> row;
    try {
        row = current();
        if (!row)
            return;
        m_table->writeTransaction([&] {
            QSqlQuery update = m_table->exec(u"UPDATE %2 SET %1 = %1 + 1 WHERE %3 = ? AND %4"_s.arg(
                                                 count, m_table->sqlName(),
                                                 ScriptTable::quoted(TableLayout::keyColumn()),
                                                 SpecialRules::countableCondition(*m_table, count)),
                                             {row->id});
            changed = update.numRowsAffected();
        });
        if (changed == 0 && !current())
            return; // deleted meanwhile: nothing left to count on
    } catch (const ScriptError& error) {
        int number = 0;
        try {
            number = row ? row->row() : 0; // named when the file still answers
        } catch (const ScriptError&) {
        }
        throw ScriptError(m_table->fileName(),
                          u"the Yes was not counted (%1)"_s.arg(error.reason()), number,
                          TableLayout::countColumn(), error.kind());
    }
    if (changed == 0)
        throw ScriptError(
            m_table->fileName(),
            SpecialRules::uncountedReason(row->fields.at(SpecialRules::countPosition - firstField)),
            row->row(), TableLayout::countColumn());
}
