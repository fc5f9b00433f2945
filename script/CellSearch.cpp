// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/CellSearch.h"

#include "script/ScriptError.h"
#include "script/ScriptTable.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace {
// The text fields, by position in layout().columns, and their quoted names.
struct TextColumns {
    QList<int> positions;
    QStringList names;
};

TextColumns textColumns(const TableLayout& layout)
{
    TextColumns result;
    for (int column = 0; column < layout.columns.size(); ++column) {
        if (layout.isTextColumn(layout.columns.at(column))) {
            result.positions << column;
            result.names << ScriptTable::quoted(layout.columns.at(column));
        }
    }
    return result;
}

// A LIKE pattern every matching field fits. LIKE folds the case of ASCII letters only, so a
// character outside ASCII stands as "_", any one character, and is compared exactly later.
QString likePattern(const QString& text, bool wholeCell)
{
    QString pattern;
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            pattern += u'\\';
        if (c.isLowSurrogate())
            continue; // with its high surrogate, one character
        pattern += c.unicode() < 0x80 ? c : u'_';
    }
    return wholeCell ? pattern : u"%"_s + pattern + u"%"_s;
}

// The forms the text's first character outside ASCII may take in a field matching it without
// its case; none when the text is ASCII.
QStringList caseForms(const QString& text)
{
    QStringList forms;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = text.at(i).isHighSurrogate() && i + 1 < text.size()
                               ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                               : text.at(i).unicode();
        if (c < 0x80)
            continue;
        for (const char32_t form : {c, QChar::toLower(c), QChar::toUpper(c), QChar::toTitleCase(c),
                                    QChar::toCaseFolded(c)}) {
            const QString formText = QString::fromUcs4(&form, 1);
            if (!forms.contains(formText))
                forms << formText;
        }
        break;
    }
    return forms;
}

// The test each text field that may match passes, in SQL, with its bindings appended. A
// server's LIKE minds case, so it is asked for ILIKE, which the pattern fits all the same.
QStringList fieldTests(const ScriptTable& table, const TextColumns& columns,
                       const CellSearch::Options& options, QVariantList& bindings)
{
    QStringList tests;
    const QStringList forms = options.matchCase ? QStringList() : caseForms(options.text);
    const QString holdsText = table.isOnServer() ? u"strpos(%1, ?) > 0"_s : u"instr(%1, ?) > 0"_s;
    for (const QString& name : columns.names) {
        if (options.matchCase) {
            tests << (options.wholeCell ? u"%1 = ?"_s : holdsText).arg(name);
            bindings << options.text;
            continue;
        }
        // The pattern lets any character stand for one outside ASCII; the field must hold
        // that character in one of its forms, which is the cheaper test, so it comes first.
        QStringList holds;
        for (const QString& form : forms) {
            holds << holdsText.arg(name);
            bindings << form;
        }
        const QString like =
            (table.isOnServer() ? u"%1 ILIKE ? ESCAPE '\\'"_s : u"%1 LIKE ? ESCAPE '\\'"_s)
                .arg(name);
        bindings << likePattern(options.text, options.wholeCell);
        tests << (holds.isEmpty() ? like : u"((%1) AND %2)"_s.arg(holds.join(u" OR "_s), like));
    }
    return tests;
}

// The test a row whose text fields may match passes, in SQL, with its bindings appended.
QString narrowing(const ScriptTable& table, const TextColumns& columns,
                  const CellSearch::Options& options, QVariantList& bindings)
{
    return u"(%1)"_s.arg(fieldTests(table, columns, options, bindings).join(u" OR "_s));
}

// The rows whose text fields may match, narrowed down in the database; `visit` gets each
// field's text, in the order asked for, and returns false to stop.
void scan(const ScriptTable& table, const CellSearch::Options& options, const QString& range,
          const QVariantList& rangeBindings, bool forward,
          const std::function<bool(qint64, int, const QString&)>& visit)
{
    const TextColumns columns = textColumns(table.layout());
    // Only the fields that may match are read out, the others come as nulls: in a row that
    // matches in one field, the rest need not become texts here.
    QVariantList bindings;
    const QStringList tests = fieldTests(table, columns, options, bindings);
    QStringList selected;
    for (qsizetype i = 0; i < tests.size(); ++i)
        selected << u"CASE WHEN %1 THEN %2 END"_s.arg(tests.at(i), columns.names.at(i));
    bindings << rangeBindings;
    QStringList where;
    if (!range.isEmpty())
        where << range;
    where << narrowing(table, columns, options, bindings);
    QSqlQuery query = table.exec(u"SELECT \"ID\", %1 FROM %2 WHERE %3 ORDER BY \"ID\" %4"_s.arg(
                                     selected.join(u", "_s), table.sqlName(),
                                     where.join(u" AND "_s), forward ? u"ASC"_s : u"DESC"_s),
                                 bindings);
    const auto count = columns.positions.size();
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        for (qsizetype i = 0; i < count; ++i) {
            const qsizetype at = forward ? i : count - 1 - i;
            const QVariant value = query.value(int(at + 1));
            if (!value.isNull() && !visit(id, columns.positions.at(at), value.toString()))
                return;
        }
    }
    if (query.lastError().isValid())
        throw ScriptError(table.fileName(), query.lastError().text());
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
    scan(table, options, {}, {}, true, [&](qint64 id, int column, const QString& text) {
        if (matches(text, options))
            result << Match{id, column, text};
        return true;
    });
    return result;
}

QList<CellSearch::Match> CellSearch::find(const ScriptTable& table, const Options& options,
                                          const QList<qint64>& ids)
{
    QList<Match> result;
    if (options.text.isEmpty() || ids.isEmpty())
        return result;
    QStringList marks;
    QVariantList bindings;
    for (qint64 id : ids) {
        marks << u"?"_s;
        bindings << id;
    }
    scan(table, options, u"\"ID\" IN (%1)"_s.arg(marks.join(u',')), bindings, true,
         [&](qint64 id, int column, const QString& text) {
             if (matches(text, options))
                 result << Match{id, column, text};
             return true;
         });
    return result;
}

void CellSearch::find(const ScriptTable& table, const Options& options, qint64 after, qint64 last,
                      const std::function<void(const Match&)>& visit)
{
    if (options.text.isEmpty())
        return;
    scan(table, options, u"\"ID\" > ? AND \"ID\" <= ?"_s, {after, last}, true,
         [&](qint64 id, int column, const QString& text) {
             if (matches(text, options))
                 visit(Match{id, column, text});
             return true;
         });
}

std::pair<qint64, qint64> CellSearch::idRange(const ScriptTable& table)
{
    QSqlQuery query =
        table.exec(u"SELECT coalesce(min(\"ID\"), 0), coalesce(max(\"ID\"), 0) FROM %1"_s.arg(
            table.sqlName()));
    if (!query.next())
        throw ScriptError(table.fileName(), query.lastError().text());
    return {query.value(0).toLongLong(), query.value(1).toLongLong()};
}

QList<qint64> CellSearch::candidates(const ScriptTable& table, const Options& options)
{
    QList<qint64> result;
    if (options.text.isEmpty())
        return result;
    QVariantList bindings;
    const QString test = narrowing(table, textColumns(table.layout()), options, bindings);
    QSqlQuery query =
        table.exec(u"SELECT \"ID\" FROM %1 WHERE %2"_s.arg(table.sqlName(), test), bindings);
    while (query.next())
        result << query.value(0).toLongLong();
    if (query.lastError().isValid())
        throw ScriptError(table.fileName(), query.lastError().text());
    return result;
}

std::optional<CellSearch::Match> CellSearch::next(const ScriptTable& table, const Options& options,
                                                  qint64 id, int column, bool forward)
{
    std::optional<Match> result;
    if (options.text.isEmpty())
        return result;
    scan(table, options, forward ? u"\"ID\" >= ?"_s : u"\"ID\" <= ?"_s, {id}, forward,
         [&](qint64 row, int field, const QString& text) {
             if (row == id && (forward ? field <= column : field >= column))
                 return true;
             if (!matches(text, options))
                 return true;
             result = Match{row, field, text};
             return false;
         });
    return result;
}
