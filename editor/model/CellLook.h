// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// How a cell of the grid looks: a null apart from the empty text, an unsaved edit marked.
class CellLook {
public:
    // Whether the cell holds a null (a bool), for copying it as one.
    static constexpr int NullRole = Qt::UserRole + 1;

    // As grid editors over SQLite commonly show a null, greyed and in italics.
    static QString nullText();
    // The record selector's mark for a row holding an edit the file does not hold yet.
    static QString unsavedMark();
    // A value as messages quote it: "text", or NULL; a long text is cut short.
    static QString quoted(const QVariant& value);

    // The cell's data for `role`: `value` is the edit's when the cell holds one (`unsaved`),
    // else the file's; `theirs` is what another program wrote into the field meanwhile.
    static QVariant cell(int role, const QVariant& value, bool unsaved,
                         const std::optional<QVariant>& theirs = std::nullopt);
    // The record selector's data for `role`: the row's `number`, as messages give it, after
    // the unsaved mark when the row holds an edit.
    static QVariant selector(int role, int number, bool unsaved);
};
