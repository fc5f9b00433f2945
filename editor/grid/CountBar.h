// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QModelIndex;
class QPainter;
class QStyleOptionViewItem;

// A count drawn as a bar behind its number, in proportion to the largest count of the table,
// so the special cases confirmed most stand out.
class CountBar {
public:
    // Draws the bar of `index` when it is a count cell holding a positive number.
    static void paint(QPainter* painter, const QStyleOptionViewItem& option,
                      const QModelIndex& index);
};
