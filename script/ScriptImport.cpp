// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptImport.h"

#include "script/CsvReader.h"
#include "script/HeaderCheck.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableWriter.h"

#include <QBuffer>
#include <QHash>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isBlankLine(const QVariantList& record)
{
    return record.size() == 1 && record.first().isNull();
}

// Bytes that are no UTF-8: control characters among them mean data that was never text.
bool looksBinary(const QByteArray& bytes)
{
    return std::any_of(bytes.cbegin(), bytes.cend(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7f;
    });
}

// A field that came as bytes rather than text, told for what it most likely is.
[[noreturn]] void refuseBytes(const RecordSource& source, const QByteArray& bytes,
                              const QString& column)
{
    if (looksBinary(bytes))
        throw source.errorHere(u"the field holds binary data, not text; a script field holds "
                               u"text only, so leave binary columns out of the file"_s,
                               column);
    throw ScriptError(source.name(),
                      u"line %1 is not UTF-8 text; convert the file to UTF-8 first (for example "
                      u"with iconv)"_s.arg(source.place()));
}

// Characters as a server counts them: a letter outside the BMP is one.
qsizetype characters(const QVariant& text)
{
    const QString value = text.toString();
    return value.size() -
           std::count_if(value.cbegin(), value.cend(), [](QChar c) { return c.isLowSurrogate(); });
}

QVariant countValue(const QVariant& field, const RecordSource& source, const QString& column)
{
    if (field.isNull())
        return field;
    bool ok = false;
    const qint64 number = field.toString().trimmed().toLongLong(&ok);
    if (!ok)
        throw source.errorHere(u"\"%1\" is not a whole number"_s.arg(field.toString()), column);
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
    QByteArray bytes = csvText.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, sourceName);
    return read(reader, table, options, [](const ScriptFinding&) {});
}

ScriptImport::Result ScriptImport::read(RecordSource& source, ScriptTable& table, Options options,
                                        const ScriptCheck::FindingSink& findings)
{
    const TableLayout& layout = table.layout();
    const QStringList& columns = layout.columns;
    QVariantList record;
    do {
        if (!source.next(record))
            throw ScriptError(source.name(), u"there is no header row"_s);
    } while (isBlankLine(record));
    for (const QVariant& name : std::as_const(record)) {
        if (name.typeId() == QMetaType::QByteArray)
            refuseBytes(source, name.toByteArray(), {});
    }
    const bool leadingKey = HeaderCheck::check(record, table, source);

    // Findings name rows; the author looks for places in the file. The special table's rows
    // are checked as they come, a loaded table's once its few rows are all in.
    Result result;
    QHash<int, int> earlyPlaces;
    int currentRow = 0;
    ScriptCheck check(layout, [&](ScriptFinding finding) {
        finding.file = source.name();
        if (finding.row > 0) // 0 stands for the whole table
            finding.row =
                finding.row == currentRow ? source.place() : earlyPlaces.value(finding.row);
        ++(finding.isError() ? result.errors : result.warnings);
        findings(finding);
    });

    // Only the tables loaded at start read their lines whole; a null there stops the load.
    const bool loadedLines = layout.capacity > 0;
    table.writeTransaction([&] {
        TableWriter writer(table);
        while (source.next(record)) {
            if (isBlankLine(record))
                continue;
            if (leadingKey && record.size() == columns.size() + 1)
                record.removeFirst();
            if (record.size() != columns.size())
                throw source.errorHere(u"it has %1 fields where %2 are needed"_s.arg(record.size())
                                           .arg(columns.size()));
            QVariantList values = std::move(record);
            for (qsizetype i = 0; i < columns.size(); ++i) {
                const QString& column = columns.at(i);
                if (values.at(i).typeId() == QMetaType::QByteArray)
                    refuseBytes(source, values.at(i).toByteArray(), column);
                if (!layout.isTextColumn(column)) {
                    values[i] = countValue(values.at(i), source, column);
                } else if (table.isOnServer() &&
                           characters(values.at(i)) > TableLayout::maxTextLength) {
                    // A file takes it, and the check warns; a server's table refuses it.
                    throw source.errorHere(
                        u"the text has %1 characters, and a script on a "
                        u"server holds at most %2"_s.arg(characters(values.at(i)))
                            .arg(TableLayout::maxTextLength),
                        column);
                } else if (loadedLines && values.at(i).isNull() &&
                           layout.lineColumns.contains(column)) {
                    if (options.emptyAsText)
                        values[i] = QVariant(u""_s); // not a null QString: that binds as NULL
                    else
                        ++result.nullLines;
                }
            }
            currentRow = ++result.records;
            if (currentRow <= layout.capacity + 1)
                earlyPlaces.insert(currentRow, source.place());
            check.addRow(currentRow, values);
            writer.append(std::move(values));
        }
        writer.finish();
    });
    currentRow = 0;
    check.finish(result.records);
    return result;
}
