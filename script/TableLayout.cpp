// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/TableLayout.h"

using namespace Qt::Literals::StringLiterals;

const TableLayout& TableLayout::basic()
{
    static const TableLayout layout{
        Kind::Basic, u"basic.mdb"_s, u"basic"_s, {u"Purpose"_s, u"String"_s}, {u"String"_s}, 22};
    return layout;
}

const TableLayout& TableLayout::control()
{
    static const TableLayout layout{Kind::Control, u"control.mdb"_s,
                                    u"control"_s,  {u"Description"_s, u"String"_s},
                                    {u"String"_s}, 100};
    return layout;
}

const TableLayout& TableLayout::doubles()
{
    // Two blanks before "#1" and one before "#2": authors' files have always been so.
    static const TableLayout layout{Kind::Double,
                                    u"double.mdb"_s,
                                    u"double"_s,
                                    {u"Description"_s, u"String  #1"_s, u"String #2"_s},
                                    {u"String  #1"_s, u"String #2"_s},
                                    60};
    return layout;
}

const TableLayout& TableLayout::special()
{
    static const TableLayout layout{
        Kind::Special,
        u"special.mdb"_s,
        u"special"_s,
        {u"Description"_s, u"Primary Question (Y/N)"_s, u"Yes"_s, u"Enhance Process"_s,
         u"2nd Question (Input)"_s, u"3rd Question (Input)"_s, u"4th Question (Input)"_s},
        {u"Primary Question (Y/N)"_s, u"Enhance Process"_s, u"2nd Question (Input)"_s,
         u"3rd Question (Input)"_s, u"4th Question (Input)"_s},
        0};
    return layout;
}

const QList<const TableLayout*>& TableLayout::all()
{
    static const QList<const TableLayout*> layouts{&basic(), &control(), &doubles(), &special()};
    return layouts;
}

QString TableLayout::columnMismatch(const QStringList& found, const QString& table) const
{
    const QStringList expected = QStringList{keyColumn()} + columns;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (i >= found.size())
            return u"%1 lacks the column \"%2\" at position %3"_s.arg(table, expected.at(i)).arg(i);
        if (found.at(i) != expected.at(i))
            return u"%1 has the column \"%2\" at position %3 where \"%4\" belongs"_s
                .arg(table, found.at(i))
                .arg(i)
                .arg(expected.at(i));
    }
    if (found.size() > expected.size())
        return u"%1 has the unexpected column \"%2\" at position %3"_s
            .arg(table, found.at(expected.size()))
            .arg(expected.size());
    return {};
}
