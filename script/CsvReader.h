// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/RecordSource.h"

#include <QByteArray>

class QIODevice;

// Reads RFC 4180 text from a device, one record at a time, in constant memory whatever the
// file's size. An unquoted empty field reads as a null QVariant and a quoted "" as the empty
// text, so nulls survive a trip through a text file. A leading UTF-8 byte order mark is
// skipped. A field whose bytes are not UTF-8 comes as a QByteArray: the reader cannot tell
// text in another encoding from binary data, and the caller names the field.
class CsvReader final : public RecordSource {
public:
    CsvReader(QIODevice& device, QString name);

    bool next(QVariantList& fields) override;
    QString name() const override { return m_name; }
    // The line the last record began on, counted from 1 as a text editor counts them.
    int place() const override { return m_recordLine; }
    ScriptError::Place placeKind() const override { return ScriptError::Place::Line; }

    // What to tell an author whose spreadsheet separated the fields with semicolons, as it
    // does where the comma is the decimal sign: a setting to change, not a file to rewrite.
    static QString semicolonsReason();

private:
    bool more(); // false at the end of the device
    QVariant takeField(bool quoted);

    QIODevice& m_device;
    QString m_name;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_started = false;
    bool m_ended = false;
    QByteArray m_field;
    int m_line = 1;
    int m_recordLine = 1;
};
