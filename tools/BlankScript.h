// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QStringList>
#include <QVariantList>

struct TableLayout;

// The script `init` makes: every slot the runner reads present, its texts empty, its note
// (Purpose, Description) saying what the runner does with it. An author can then fill the
// slots in the editor, which adds and deletes rows on the special table only, and the check
// and Find lead from one slot to the next.
class BlankScript {
public:
    // The rows of `layout`'s table, values for layout.columns in order; none for the special
    // table, whose rows the author adds.
    static QList<QVariantList> rows(const TableLayout& layout);
};
