// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QModelIndex;
class QPainter;
class QRect;

// The rule under the last row of each block the runner draws its random lines from, so the
// author sees which lines share a role.
class BlockRule {
public:
    // Whether the row of `index` is the last of a block, and another row follows.
    static bool endsBlock(const QModelIndex& index);
    // Draws the rule along the bottom of `rect`, a cell or a record selector of that row.
    static void paint(QPainter* painter, const QRect& rect);
};
