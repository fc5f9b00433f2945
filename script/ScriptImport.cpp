// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptImport.h"

#include "script/CsvReader.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool isBlankLine(const QVariantList& record)
{
    return record.size() == 1 && record.first().isNull();
}

QVariant countValue(const QVariant& field, const QString& source, int line, const QString& column)
{
    if (field.isNull())
        return field;
    bool ok = false;
    const qint64 number = field.toString().trimmed().toLongLong(&ok);
    if (!ok)
        throw ScriptError(source, u"\"%1\" is not a whole number"_s.arg(field.toString()), line,
                          column, ScriptError::Place::Line);
    return number;
}

} // namespace

ScriptImport::Result ScriptImport::fromCsv(ScriptTable& table, const QString& csvText,
                                           const QString& sourceName)
{
    return fromCsv(table, csvText, sourceName, Options());
}

ScriptImport::Result ScriptImport::fromCsv(ScriptTable& table, const QString& csvText,
                                           const QString& sourceName, Options options)
{
    QList<QVariantList> records;
    QList<int> lines;
    CsvReader::Failure failure;
    if (!CsvReader::parse(csvText, records, failure, &lines))
        throw ScriptError(sourceName, failure.reason, failure.line, {}, ScriptError::Place::Line);
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        if (isBlankLine(records.at(i))) {
            records.removeAt(i);
            lines.removeAt(i);
        }
    }
    if (records.isEmpty())
        throw ScriptError(sourceName, u"there is no header row"_s);

    const TableLayout& layout = table.layout();
    const QStringList& columns = layout.columns;
    const QVariantList header = records.takeFirst();
    const int headerLine = lines.takeFirst();
    QStringList names;
    for (const QVariant& name : header)
        names << name.toString();
    // Tables exported from elsewhere lead with their own key column; the new file numbers its
    // rows afresh, so that column is left out when all the others are the layout's.
    const bool leadingKey = names.size() == columns.size() + 1 && names.mid(1) == columns;
    if (leadingKey) {
        names.removeFirst();
        for (QVariantList& record : records) {
            if (record.size() == columns.size() + 1)
                record.removeFirst();
        }
    }
    if (names != columns)
        throw ScriptError(sourceName,
                          u"the header row names %1 but %2 needs %3"_s.arg(
                              u"\""_s + names.join(u"\", \""_s) + u"\""_s, table.fileName(),
                              u"\""_s + columns.join(u"\", \""_s) + u"\""_s),
                          headerLine, {}, ScriptError::Place::Line);

    // Only the tables loaded at start read their lines whole; a null there stops the load.
    const bool loadedLines = layout.capacity > 0;
    Result result;
    result.lines = lines;
    table.writeTransaction([&] {
        for (qsizetype r = 0; r < records.size(); ++r) {
            const QVariantList& record = records.at(r);
            const int line = lines.at(r);
            if (record.size() != columns.size())
                throw ScriptError(sourceName,
                                  u"it has %1 fields where %2 are needed"_s.arg(record.size())
                                      .arg(columns.size()),
                                  line, {}, ScriptError::Place::Line);
            QVariantList values = record;
            for (qsizetype i = 0; i < columns.size(); ++i) {
                const QString& column = columns.at(i);
                if (!layout.isTextColumn(column)) {
                    values[i] = countValue(record.at(i), sourceName, line, column);
                } else if (loadedLines && values.at(i).isNull() &&
                           layout.lineColumns.contains(column)) {
                    if (options.emptyAsText)
                        values[i] = QVariant(u""_s); // not a null QString: that binds as NULL
                    else
                        ++result.nullLines;
                }
            }
            table.insertRow(values);
            ++result.records;
        }
    });
    return result;
}
