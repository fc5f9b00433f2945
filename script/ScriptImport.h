// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptCheck.h"

#include <QString>

class RecordSource;
class ScriptTable;

// Carries the records of a file an author wrote (header row of field names, no ID; a CSV
// file or a sheet) into a script table, one record at a time.
class ScriptImport {
public:
    struct Options {
        // Read an empty unquoted field as the empty text, not as null, in the columns the
        // runner loads as lines: what a spreadsheet writes for an empty cell. Notes keep null,
        // and so do the special questions and prompts, where null means "nothing to ask".
        bool emptyAsText = false;
    };
    struct Result {
        int records = 0;
        // Nulls that came into columns the runner loads as lines.
        int nullLines = 0;
        // What the check found in the rows read, as handed to the caller's sink.
        qsizetype errors = 0;
        qsizetype warnings = 0;
    };

    // Appends every record in one transaction, and checks each row as `veyrath-script check`
    // would, handing each finding to `findings` placed by the source's name and the record's
    // place in it (its line, or its row in a sheet). A fault is thrown as ScriptError naming
    // the source, the place and the field, and leaves the table as it was.
    static Result read(RecordSource& source, ScriptTable& table, Options options,
                       const ScriptCheck::FindingSink& findings);
    // The same for a whole CSV text, findings left aside.
    static Result fromCsv(ScriptTable& table, const QString& csvText, const QString& sourceName,
                          Options options);
    static Result fromCsv(ScriptTable& table, const QString& csvText, const QString& sourceName);
};
