// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/SpecialRules.h"

#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

QString SpecialRules::unaskedReason(int position)
{
    return position == questionPosition
               ? u"the question is null, so the runner skips this case and tells it once per "
                 u"run; put a text in it, even an empty one"_s
               : u"the prompt is null, so there is nothing to ask here and the runner goes on "
                 u"to the next one"_s;
}

bool SpecialRules::canCount(const QVariant& count)
{
    // SQLite hands an integer over as a 64-bit number and nothing else does: a text that
    // merely looks like a number stays a text in the file, and the runner will not add to it.
    return count.isNull() || count.typeId() == QMetaType::LongLong;
}

bool SpecialRules::isNearLargest(const QVariant& count)
{
    return count.typeId() == QMetaType::LongLong && count.toLongLong() > largestCount - nearLargest;
}

QString SpecialRules::countableCondition(const QString& quotedColumn)
{
    return u"typeof(%1) IN ('integer', 'null') AND coalesce(%1 < %2, TRUE)"_s.arg(quotedColumn)
        .arg(largestCount);
}

QString SpecialRules::countableCondition(const ScriptTable& table, const QString& quotedColumn)
{
    return table.isOnServer() ? u"coalesce(%1 < %2, TRUE)"_s.arg(quotedColumn).arg(largestCount)
                              : countableCondition(quotedColumn);
}

QString SpecialRules::uncountedReason(const QVariant& count)
{
    if (count.typeId() == QMetaType::LongLong && count.toLongLong() == largestCount)
        return u"the count %1 is the largest the file holds, so the runner counts no more Yes "
               u"replies to this question and tells it once per run; put a smaller number in "
               u"it"_s.arg(largestCount);
    const QString shown = count.typeId() == QMetaType::QByteArray
                              ? u"holds binary data and"_s
                              : u"\"%1\""_s.arg(count.toString());
    return u"the count %1 is not a whole number, so the runner does not count a Yes to this "
           u"question and tells it once per run; put a whole number in it"_s.arg(shown);
}

qint64 SpecialRules::countedTotal(const ScriptTable& special)
{
    const QString count = ScriptTable::quoted(TableLayout::countColumn());
    // total() rather than sum(): a sum past the 64-bit range must not fail the whole report.
    QSqlQuery query = special.exec(
        special.isOnServer()
            ? u"SELECT coalesce(sum(%1), 0) FROM %2"_s.arg(count, special.sqlName())
            : u"SELECT total(%1) FROM Table1 WHERE typeof(%1) = 'integer'"_s.arg(count));
    return query.next() ? qint64(query.value(0).toDouble()) : 0;
}
