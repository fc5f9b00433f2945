// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QVariantList>

// Where the records of one table go when it is written out for an author (a CSV file, a sheet
// of a spreadsheet): the header of field names first, then a record per row, one at a time,
// so that a table of any size passes through in constant memory. Texts are QStrings, counts
// numbers, nulls null QVariants. A write that fails is thrown as ScriptError.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void addRecord(const QVariantList& values) = 0;
    // Everything added is handed on to the file (not yet made durable: that is the caller's).
    virtual void finish() {}
};
