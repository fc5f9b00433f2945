// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

class RecordSink;
class ScriptTable;

// Writes a script table as the records ScriptImport reads back: a header of the field names
// (without ID), then one record per row in the order the programs read them, one at a time.
// Texts go as QStrings, counts as numbers, nulls as nulls, so every value comes back exactly,
// nulls and empty texts included; a value that an author's file cannot carry as it is
// (binary data) is refused with its row and field, never changed.
class ScriptExport {
public:
    // Returns the number of rows written, the header aside.
    static qint64 write(const ScriptTable& table, RecordSink& sink);
};
