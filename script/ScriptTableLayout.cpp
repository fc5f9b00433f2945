// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Whether a script file holds Table1 in its layout, before anything reads or writes it.
#include "script/ScriptTable.h"

#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace {

// The affinity SQLite gives a column declared `type`, by its own rules in their order.
enum class Affinity { Integer, Text, Blob, Real, Numeric };
Affinity affinityOf(const QString& type)
{
    const QString t = type.toUpper();
    if (t.contains(u"INT"_s))
        return Affinity::Integer;
    if (t.contains(u"CHAR"_s) || t.contains(u"CLOB"_s) || t.contains(u"TEXT"_s))
        return Affinity::Text;
    if (t.isEmpty() || t.contains(u"BLOB"_s))
        return Affinity::Blob;
    if (t.contains(u"REAL"_s) || t.contains(u"FLOA"_s) || t.contains(u"DOUB"_s))
        return Affinity::Real;
    return Affinity::Numeric;
}

} // namespace

void ScriptTable::checkLayout() const
{
    QSqlQuery kind = exec(u"SELECT type FROM sqlite_master WHERE name = 'Table1' COLLATE NOCASE"_s);
    if (!kind.next())
        fail(u"there is no table named Table1 in it"_s);
    if (kind.value(0).toString() != u"table"_s)
        fail(u"Table1 is a %1, not a table"_s.arg(kind.value(0).toString()));
    kind.finish();

    // A trigger would run its own statements whenever a program saves a row; script files
    // hold data only, so one found here is refused rather than obeyed.
    QSqlQuery triggers = exec(u"SELECT name FROM sqlite_master WHERE type = 'trigger'"_s);
    if (triggers.next())
        fail(u"the file holds the trigger \"%1\"; script files hold no triggers, so remove it "
             u"(DROP TRIGGER) before use"_s.arg(triggers.value(0).toString()));
    triggers.finish();

    QSqlQuery info = exec(u"PRAGMA table_info(Table1)"_s);
    QStringList found;
    QStringList types;
    bool keyIsPrimary = false;
    while (info.next()) {
        found << info.value(1).toString();
        types << info.value(2).toString();
        if (found.size() == 1)
            keyIsPrimary = info.value(5).toInt() == 1;
    }
    if (const QString mismatch = m_layout->columnMismatch(found, u"Table1"_s); !mismatch.isEmpty())
        fail(mismatch);
    if (!keyIsPrimary)
        fail(u"the column ID of Table1 is not its primary key"_s);

    // A count column that keeps what it is given as text (or as a fraction) takes counts the
    // runner cannot add to, and sorts "9" above "10".
    const qsizetype count = m_layout->columns.indexOf(TableLayout::countColumn()) + 1;
    if (count == 0)
        return;
    const Affinity affinity = affinityOf(types.at(count));
    if (affinity == Affinity::Text || affinity == Affinity::Real)
        fail(u"the column \"%1\" of Table1 is declared %2, so it keeps counts as %3; it must "
             u"be declared INTEGER (see \"Mending a count column\" in README.md)"_s.arg(
                 TableLayout::countColumn(), types.at(count),
                 affinity == Affinity::Text
                     ? u"text, which the runner cannot add to and which sort \"9\" above \"10\""_s
                     : u"fractions, which the runner cannot add to"_s));
}
