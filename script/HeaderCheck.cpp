// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/HeaderCheck.h"

#include "script/CsvReader.h"
#include "script/RecordSource.h"
#include "script/ScriptTable.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString quotedList(const QStringList& names)
{
    return u"\""_s + names.join(u"\", \""_s) + u"\""_s;
}

QString blanksInWords(qsizetype n)
{
    static const QStringList words{u"no blank"_s, u"one blank"_s, u"two blanks"_s,
                                   u"three blanks"_s};
    return n < words.size() ? words.at(n) : u"%1 blanks"_s.arg(n);
}

// Where two names that differ only in blanks part, in words: "\"String #1\" has one blank
// before \"#1\" where \"String  #1\" has two blanks".
QString blankDifference(const QString& found, const QString& expected)
{
    qsizetype at = 0;
    while (at < found.size() && at < expected.size() && found.at(at) == expected.at(at))
        ++at;
    while (at > 0 && found.at(at - 1) == u' ')
        --at;
    const auto run = [at](const QString& name) {
        qsizetype n = 0;
        while (at + n < name.size() && name.at(at + n) == u' ')
            ++n;
        return n;
    };
    const qsizetype inFound = run(found);
    const qsizetype inExpected = run(expected);
    const QString longer = inFound > inExpected ? found : expected;
    const QString next = longer.mid(at + std::max(inFound, inExpected)).section(u' ', 0, 0);
    const QString where = at == 0          ? u"at its start"_s
                          : next.isEmpty() ? u"at its end"_s
                                           : u"before \"%1\""_s.arg(next);
    return u"\"%1\" has %2 %3 where \"%4\" has %5"_s.arg(found, blanksInWords(inFound), where,
                                                         expected, blanksInWords(inExpected));
}

} // namespace

bool HeaderCheck::check(const QVariantList& header, const ScriptTable& table,
                        const RecordSource& source)
{
    const QStringList& columns = table.layout().columns;
    QStringList names;
    for (const QVariant& name : header)
        names << name.toString();
    const bool leadingKey = names.size() == columns.size() + 1 && names.mid(1) == columns;
    if (leadingKey)
        names.removeFirst();
    if (names == columns)
        return leadingKey;

    // Unquoted, a header separated by semicolons reads as one field.
    if (names.size() < columns.size() && names.join(u',').contains(u';'))
        throw source.errorHere(CsvReader::semicolonsReason());
    if (names.size() == columns.size()) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString& found = names.at(i);
            const QString& expected = columns.at(i);
            if (found != expected && found.simplified() == expected.simplified())
                throw source.errorHere(
                    u"the header row names \"%1\" where %2 needs \"%3\", which differs only in "
                    u"blanks: %4; write the name exactly as shown"_s.arg(
                        found, table.fileName(), expected, blankDifference(found, expected)));
        }
    }
    throw source.errorHere(u"the header row names %1 but %2 needs %3"_s.arg(
        quotedList(names), table.fileName(), quotedList(columns)));
}
