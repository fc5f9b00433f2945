// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// One thing in a script that would make the runner stop or report "ERROR - Bad Script"
// (Error), or that the runner goes around or presents in a way the author probably did not
// intend (Warning), placed as precisely as it can be.
struct ScriptFinding {
    enum class Severity { Warning, Error };

    Severity severity = Severity::Error;
    QString file;  // "control.mdb"
    int row = 0;   // counted from 1 in the order the programs read the rows; 0 for none
    QString field; // empty when the finding is about the whole file or table
    QString reason;

    bool isError() const { return severity == Severity::Error; }
    // One line as compilers and linters write them, "file:row:field: severity: reason":
    // "control.mdb:41:String: error: ...", "special.mdb: warning: ..." for a whole file.
    QString message() const;
};
