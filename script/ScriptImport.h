// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

class ScriptTable;

// Carries the rows of a CSV text (header row of field names, no ID) into a script table.
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
        // The CSV line each record began on, by row (row 1 at index 0); the header is line 1.
        QList<int> lines;
        // Nulls that came into columns the runner loads as lines.
        int nullLines = 0;

        // The CSV line of a row, or 0 for a row the text did not hold.
        int lineOf(int row) const { return row > 0 && row <= lines.size() ? lines.at(row - 1) : 0; }
    };

    // Appends every record in one transaction. A fault is thrown as ScriptError naming
    // `sourceName`, the line and the column, and leaves the table as it was.
    static Result fromCsv(ScriptTable& table, const QString& csvText, const QString& sourceName,
                          Options options);
    static Result fromCsv(ScriptTable& table, const QString& csvText, const QString& sourceName);
};
