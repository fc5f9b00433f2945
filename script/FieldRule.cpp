// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/FieldRule.h"

#include "script/SpecialRules.h"
#include "script/TableLayout.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

QString FieldRule::problem(const TableLayout& layout, const QString& column, const QString& text)
{
    if (layout.isTextColumn(column)) {
        if (text.size() > TableLayout::maxTextLength)
            return u"the text has %1 characters; at most %2 fit"_s.arg(text.size())
                .arg(TableLayout::maxTextLength);
        return {};
    }
    if (text.isEmpty())
        return {};
    static const QRegularExpression wholeNumber(u"\\A[+-]?[0-9]+\\z"_s);
    if (text.size() > TableLayout::maxCountLength || !wholeNumber.match(text).hasMatch())
        return u"\"%1\" is not a whole number of at most %2 characters"_s.arg(text).arg(
            TableLayout::maxCountLength);
    return {};
}

QString FieldRule::nullProblem(const TableLayout& layout, const QString& column)
{
    if (!layout.lineColumns.contains(column))
        return {};
    if (layout.kind != TableLayout::Kind::Special)
        return u"the runner cannot load a null line and would stop at Start; put a text in it, "
               u"even an empty one"_s;
    if (layout.columns.indexOf(column) + 1 == SpecialRules::questionPosition)
        return u"the runner passes a case over whose question is null; put a text in it"_s;
    return {};
}

QVariant FieldRule::stored(const TableLayout& layout, const QString& column, const QString& text)
{
    // Qt's SQL drivers write a null QString as NULL, which the runner cannot read as a line.
    if (layout.isTextColumn(column))
        return text.isNull() ? u""_s : text;
    if (text.isEmpty())
        return QVariant(QMetaType::fromType<qlonglong>());
    return text.toLongLong();
}
