// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QVariantList>

// Writes records in the form CsvReader reads: texts always quoted (so the empty text and
// blanks at either end are kept), nulls as nothing, numbers bare, CRLF between records.
class CsvWriter {
public:
    void addRecord(const QVariantList& values);
    void addHeader(const QStringList& names);
    const QString& text() const { return m_text; }

private:
    QString m_text;
};
