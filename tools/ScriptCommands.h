// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptCheck.h"
#include "script/ScriptImport.h"
#include "script/TableLayout.h"

#include <QList>
#include <QString>
#include <optional>

// The work behind each subcommand of veyrath-script. Every fault is thrown as ScriptError;
// the words for the user are chosen in main. Tables pass through a row at a time, so every
// command runs in the same memory whatever the script's size.
class ScriptCommands {
public:
    // The four files with every slot the runner reads, texts empty, each slot's note saying
    // what it is for. Refuses when any of them exists.
    static void init(const QString& dir);
    // The four files holding the bundled sample script. Refuses when any of them exists.
    static void sample(const QString& dir);

    struct ExportOptions {
        bool replace = false;
        bool byteOrderMark = false; // for spreadsheets that read UTF-8 only after one
    };
    // The four tables as basic.csv, control.csv, double.csv and special.csv in `out`, all
    // written aside and moved in only when all four are complete.
    static void exportCsv(const QString& dir, const QString& out, const ExportOptions& options);
    // The four tables as the sheets of one spreadsheet file, written aside and moved in whole.
    static void exportSpreadsheet(const QString& dir, const QString& file, bool replace);

    struct ImportOptions {
        bool replace = false;
        bool allowErrors = false; // import a script that stops the runner all the same
        bool spreadsheet = false; // the source is one spreadsheet file, not a folder of CSV files
        QList<const TableLayout*> tables = TableLayout::all();
        ScriptImport::Options records;
        // Told each finding of the check on the new files as it is found, placed by CSV file
        // (or sheet) and line (or row).
        ScriptCheck::FindingSink findings = [](const ScriptFinding&) {};
    };
    struct ImportReport {
        bool imported = false; // false when refused for the errors the check found
        int rows = 0;
        int nullLines = 0;
        qsizetype errors = 0;
        qsizetype warnings = 0;
        // The Yes counts of a special.mdb that was replaced, before and after.
        std::optional<qint64> countsBefore;
        std::optional<qint64> countsAfter;
        QString countsUnread; // why the old counts could not be read, when they could not
    };
    // The files of `options.tables` built from `source` (a folder of CSV files, or a
    // spreadsheet file), checked as `check` does and moved in only when the check finds no
    // error (or errors are allowed).
    static ImportReport importScript(const QString& source, const QString& dir,
                                     const ImportOptions& options);

    static bool isSpreadsheet(const QString& path);
    static QString csvName(const TableLayout& layout)
    {
        return layout.caption + QStringLiteral(".csv");
    }
};
