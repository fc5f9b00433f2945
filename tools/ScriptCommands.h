// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptFinding.h"
#include "script/ScriptImport.h"
#include "script/TableLayout.h"

#include <QList>
#include <QString>
#include <optional>

// The work behind each subcommand of veyrath-script. Every fault is thrown as ScriptError;
// the words for the user are chosen in main.
class ScriptCommands {
public:
    // The four files, empty. Refuses when any of them exists.
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

    struct ImportOptions {
        bool replace = false;
        bool allowErrors = false; // import a script that stops the runner all the same
        QList<const TableLayout*> tables = TableLayout::all();
        ScriptImport::Options csv;
    };
    struct ImportReport {
        bool imported = false; // false when refused for the errors among `findings`
        int rows = 0;
        int nullLines = 0;
        // What the check found in the new files, placed by CSV file and line.
        QList<ScriptFinding> findings;
        // The Yes counts of a special.mdb that was replaced, before and after.
        std::optional<qint64> countsBefore;
        std::optional<qint64> countsAfter;
        QString countsUnread; // why the old counts could not be read, when they could not
    };
    // The files of `options.tables` built from those CSV files in `source`, checked as `check`
    // does and moved in only when the check finds no error (or errors are allowed).
    static ImportReport importCsv(const QString& source, const QString& dir,
                                  const ImportOptions& options);

    static QString csvName(const TableLayout& layout)
    {
        return layout.caption + QStringLiteral(".csv");
    }
};
