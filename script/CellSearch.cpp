// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/CellSearch.h"

#include "script/ScriptError.h"
#include "script/ScriptTable.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
bool isAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

QString likePattern(const QString& text, bool wholeCell)
{
    QString escaped = text;
    escaped.replace(u"\\"_s, u"\\\\"_s).replace(u"%"_s, u"\\%"_s).replace(u"_"_s, u"\\_"_s);
    return wholeCell ? escaped : u"%"_s + escaped + u"%"_s;
}
} // namespace

bool CellSearch::matches(const QString& cell, const Options& options)
{
    const Qt::CaseSensitivity sensitivity =
        options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (options.text.isEmpty())
        return false;
    return options.wholeCell ? cell.compare(options.text, sensitivity) == 0
                             : cell.contains(options.text, sensitivity);
}

QString CellSearch::replaced(const QString& cell, const Options& options,
                             const QString& replacement)
{
    if (!matches(cell, options))
        return cell;
    if (options.wholeCell)
        return replacement;
    QString result = cell;
    return result.replace(options.text, replacement,
                          options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

QList<CellSearch::Match> CellSearch::find(const ScriptTable& table, const Options& options)
{
    QList<Match> result;
    if (options.text.isEmpty())
        return result;
    const TableLayout& layout = table.layout();
    QList<int> columns;
    QStringList names;
    for (int column = 0; column < layout.columns.size(); ++column) {
        if (layout.isTextColumn(layout.columns.at(column))) {
            columns << column;
            names << ScriptTable::quoted(layout.columns.at(column));
        }
    }
    // The database narrows the rows down; the exact test, with Unicode case folding, is made
    // here. LIKE folds the case of ASCII letters only, so a text with others is not narrowed
    // down without its case.
    QStringList tests;
    QVariantList bindings;
    const bool narrow = options.matchCase || isAscii(options.text);
    for (const QString& name : names) {
        if (!narrow)
            break;
        if (options.matchCase) {
            tests << (options.wholeCell ? u"%1 = ?"_s : u"instr(%1, ?) > 0"_s).arg(name);
            bindings << options.text;
        } else {
            tests << u"%1 LIKE ? ESCAPE '\\'"_s.arg(name);
            bindings << likePattern(options.text, options.wholeCell);
        }
    }
    const QString where = tests.isEmpty() ? QString() : u" WHERE "_s + tests.join(u" OR "_s);
    QSqlQuery query = table.exec(
        u"SELECT ID, %1 FROM Table1%2 ORDER BY ID"_s.arg(names.join(u", "_s), where), bindings);
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        for (int i = 0; i < columns.size(); ++i) {
            const QVariant value = query.value(i + 1);
            if (value.isNull())
                continue;
            QString text = value.toString();
            if (matches(text, options))
                result << Match{id, columns.at(i), std::move(text)};
        }
    }
    if (query.lastError().isValid())
        throw ScriptError(table.fileName(), query.lastError().text());
    return result;
}
