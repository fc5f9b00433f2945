// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/BlankScript.h"

#include "script/PickRules.h"
#include "script/TableLayout.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The role of each basic.mdb row, by its place (row 1 at index 0).
const QStringList& basicRoles()
{
    static const QStringList roles{
        u"Greeting, shown first"_s,
        u"Asks the name"_s,
        u"Asks the birth date, again until the answer reads as a date"_s,
        u"Follows the name: the name, a blank, this line"_s,
        u"Introduction, shown after the name (1 of 5)"_s,
        u"Introduction, shown after the name (2 of 5)"_s,
        u"Introduction, shown after the name (3 of 5)"_s,
        u"Introduction, shown after the name (4 of 5)"_s,
        u"Introduction, shown after the name (5 of 5)"_s,
        u"Last line of the introduction; shown again when the user goes on"_s,
        u"Closing: asks whether to go on; Yes goes back to the conversation"_s,
        u"Closing: opens each closing turn; Yes leads to the age prompt"_s,
        u"Closing: the age prompt"_s,
        u"Closing: prompt after a No to the line above"_s,
        u"Closing: wrong age, shown as this line, a blank, the answer and a full stop"_s,
        u"Farewell, first line"_s,
        u"Farewell: this line, a blank, the name"_s,
        u"Goodbye for hours 0 to 5"_s,
        u"Goodbye for hours 6 to 11"_s,
        u"Goodbye for hours 12 to 17"_s,
        u"Goodbye for hours 18 to 22"_s,
        u"Goodbye for hour 23"_s,
    };
    return roles;
}

// What the runner does with a line drawn from each block, in the order of the blocks.
const QStringList& controlBlockRoles()
{
    static const QStringList roles{
        u"a statement shown after a typed answer, and by the first repeat"_s,
        u"a statement shown by each further repeat before the next question"_s,
        u"the first question of a cycle; its typed answer goes into the pair lines"_s,
        u"the question of the next cycle; its typed answer goes into the pair lines"_s,
        u"a yes/no question after a No to going on: Yes goes on, No leads to the closing"_s,
    };
    return roles;
}

const QStringList& doubleBlockRoles()
{
    static const QStringList roles{
        u"a pair line after the first question, and by the first repeat: first text, the "
        u"answer, second text, in an OK box"_s,
        u"a pair line after the next question, and by each further repeat, in an OK box"_s,
        u"a pair line asked with Yes and No: whether to go on talking"_s,
    };
    return roles;
}

QString slotNote(int block, int slot, const QString& role)
{
    return u"Block %1, line %2 of %3 (row %4): %5. \"Empty\" leaves the line out"_s.arg(block)
        .arg(slot)
        .arg(PickRules::blockSize)
        .arg(PickRules::firstSlot(block) + slot - 1)
        .arg(role);
}

} // namespace

QList<QVariantList> BlankScript::rows(const TableLayout& layout)
{
    // Not a null QString: the driver binds that as NULL, and a null line stops the runner.
    const QVariant empty(u""_s);
    QList<QVariantList> rows;
    switch (layout.kind) {
    case TableLayout::Kind::Basic:
        for (const QString& role : basicRoles())
            rows << QVariantList{role, empty};
        break;
    case TableLayout::Kind::Control:
    case TableLayout::Kind::Double: {
        const bool pairs = layout.kind == TableLayout::Kind::Double;
        const QStringList& roles = pairs ? doubleBlockRoles() : controlBlockRoles();
        for (int block = 0; block < PickRules::blockCount(layout); ++block) {
            for (int slot = 1; slot <= PickRules::blockSize; ++slot) {
                QVariantList row{slotNote(block, slot, roles.at(block)), empty};
                if (pairs)
                    row << empty;
                rows << row;
            }
        }
        break;
    }
    case TableLayout::Kind::Special:
        break;
    }
    return rows;
}
