// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptError.h"

#include <QString>
#include <QVariantList>

// The records of one table as a file an author wrote holds them (a CSV file, a sheet of a
// spreadsheet): the header of field names first, then a record per row, read one at a time
// so that a table of any size passes through in constant memory.
//
// A field is a null QVariant where the file holds nothing, a QString where it holds a text,
// and a QByteArray where it holds bytes that are no text at all.
class RecordSource {
public:
    virtual ~RecordSource() = default;

    // Reads the next record into `fields`; false at the end. A record that cannot be read is
    // thrown as ScriptError placed where it begins.
    virtual bool next(QVariantList& fields) = 0;
    // What the author calls the file: "special.csv", "script.xlsx, sheet special".
    virtual QString name() const = 0;
    // Where the last record began, in the units the author's program shows: a line of a
    // text file (the header is line 1), a row of a sheet.
    virtual int place() const = 0;
    virtual ScriptError::Place placeKind() const = 0;

    // A fault at the last record, placed as an author finds it.
    ScriptError errorHere(const QString& reason, const QString& field = {}) const
    {
        return ScriptError(name(), reason, place(), field, placeKind());
    }
};
