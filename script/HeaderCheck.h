// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QVariantList>

class RecordSource;
class ScriptTable;

// The header row of a file an author wrote, held against the table's layout. A header that
// is nearly right is told by what is wrong with it, so the author mends that and not more:
// names that differ only in their blanks, fields separated by semicolons.
class HeaderCheck {
public:
    // Returns whether the header leads with a key column of its own (tables exported from
    // elsewhere do; the new file numbers its rows afresh, so that column is left out when all
    // the others are the layout's). Throws ScriptError placed at the header otherwise.
    static bool check(const QVariantList& header, const ScriptTable& table,
                      const RecordSource& source);
};
