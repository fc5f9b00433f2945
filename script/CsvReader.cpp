// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/CsvReader.h"

using namespace Qt::Literals::StringLiterals;

bool CsvReader::parse(const QString& text, QList<QVariantList>& records, Failure& failure,
                      QList<int>* lines)
{
    records.clear();
    if (lines)
        lines->clear();
    QVariantList record;
    QString field;
    bool quoted = false;   // the current field began with a quote
    bool inQuotes = false; // inside its quotes
    bool fieldStarted = false;
    int line = 1;
    int recordLine = 1;

    auto endField = [&] {
        // A cleared QString is null, and the SQL driver binds a null QString as NULL; the
        // quoted "" must arrive as a real empty text.
        if (quoted && field.isEmpty())
            record << QVariant(u""_s);
        else
            record << (field.isEmpty() ? QVariant() : QVariant(field));
        field.clear();
        quoted = inQuotes = fieldStarted = false;
    };
    auto endRecord = [&] {
        endField();
        records << record;
        record.clear();
        if (lines)
            *lines << recordLine;
    };

    const qsizetype size = text.size();
    qsizetype i = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    for (; i < size; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < size && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u',') {
            endField();
            fieldStarted = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
                ++i;
            endRecord();
            ++line;
            recordLine = line;
        } else if (c == u'"') {
            if (quoted || !field.isEmpty()) {
                failure = {line, u"a quote stands inside a field that does not begin with one"_s};
                return false;
            }
            quoted = inQuotes = true;
        } else {
            if (quoted) {
                failure = {line, u"text follows the closing quote of a field"_s};
                return false;
            }
            field += c;
        }
    }
    if (inQuotes) {
        failure = {recordLine, u"a quoted field is never closed"_s};
        return false;
    }
    if (quoted || !field.isEmpty() || !record.isEmpty() || fieldStarted)
        endRecord();
    return true;
}
