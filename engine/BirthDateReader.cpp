// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/BirthDateReader.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace {

int yearFrom(const QString& digits, const QDate& today)
{
    const int year = digits.toInt();
    if (digits.size() != 2)
        return year;
    const int century = today.year() / 100 * 100;
    return century + year > today.year() ? century - 100 + year : century + year;
}

std::optional<QDate> dateOf(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1000)
        return std::nullopt;
    return date;
}

int monthNamed(const QString& word)
{
    static const QStringList names{u"january"_s,   u"february"_s, u"march"_s,    u"april"_s,
                                   u"may"_s,       u"june"_s,     u"july"_s,     u"august"_s,
                                   u"september"_s, u"october"_s,  u"november"_s, u"december"_s};
    const QString lower = word.toLower();
    if (lower.size() < 3)
        return 0;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names.at(i).startsWith(lower))
            return int(i + 1);
    }
    return 0;
}

} // namespace

std::optional<QDate> BirthDateReader::read(const QString& text, const QDate& today)
{
    const QString typed = text.trimmed();

    static const QRegularExpression iso(u"^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})$"_s);
    if (const auto m = iso.match(typed); m.hasMatch())
        return dateOf(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());

    static const QRegularExpression us(u"^(\\d{1,2})([-/.])(\\d{1,2})\\2(\\d{2}|\\d{4})$"_s);
    if (const auto m = us.match(typed); m.hasMatch())
        return dateOf(yearFrom(m.captured(4), today), m.captured(1).toInt(), m.captured(3).toInt());

    static const QRegularExpression monthFirst(
        u"^([A-Za-z]+)\\.? +(\\d{1,2}),? +(\\d{2}|\\d{4})$"_s);
    if (const auto m = monthFirst.match(typed); m.hasMatch()) {
        if (const int month = monthNamed(m.captured(1)))
            return dateOf(yearFrom(m.captured(3), today), month, m.captured(2).toInt());
    }
    static const QRegularExpression dayFirst(u"^(\\d{1,2}) +([A-Za-z]+)\\.?,? +(\\d{2}|\\d{4})$"_s);
    if (const auto m = dayFirst.match(typed); m.hasMatch()) {
        if (const int month = monthNamed(m.captured(2)))
            return dateOf(yearFrom(m.captured(3), today), month, m.captured(1).toInt());
    }
    return std::nullopt;
}
