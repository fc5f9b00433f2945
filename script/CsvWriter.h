// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/RecordSink.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes records in the form CsvReader reads, as UTF-8: texts always quoted (so the empty
// text and blanks at either end are kept), nulls as nothing, numbers bare, CRLF between
// records. Records are gathered into blocks and handed to the device a block at a time, so
// memory stays the same whatever the table's size.
class CsvWriter final : public RecordSink {
public:
    // `name` is the file as messages name it.
    CsvWriter(QIODevice& device, QString name);

    // A UTF-8 byte order mark, for spreadsheets that read UTF-8 only after one; first, if at all.
    void addMark();
    void addRecord(const QVariantList& values) override;
    // Hands what is gathered to the device; throws ScriptError when the device refuses it.
    void finish() override;

private:
    QIODevice& m_device;
    QString m_name;
    QByteArray m_block;
};
