// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>

class QModelIndex;
class QStyleOptionViewItem;

// Whether a cell's text shows whole in its cell or is cut short, ending in an ellipsis.
class CellFit {
public:
    // `option` as the delegate fills it for `index`, with the cell's rectangle.
    static bool isCut(const QStyleOptionViewItem& option, const QModelIndex& index);
    // `text` in lines of at most `length` characters, broken between words where it can be,
    // and at its own line ends.
    static QStringList lines(const QString& text, int length);
};
