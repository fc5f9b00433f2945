// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class ScriptTable;

// Writes a script table as the CSV text that ScriptImport reads back: a header row of the
// field names (without ID), then one record per row in the order the programs read them.
// Every value comes back exactly, nulls and empty texts included; a value that a CSV file
// cannot carry as it is (binary data) is refused with its row and field, never changed.
class ScriptExport {
public:
    static QString toCsv(const ScriptTable& table);
};
