// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QTableView;

// Column widths for a grid as it opens: each wide enough for its caption and for what its
// first rows hold, none wider than a readable share of the grid, the last taking the rest.
// The count column is as wide as the largest count of the whole table needs, wherever that
// row is, and grows when a count grows past it.
class ColumnFit {
public:
    // How many rows are looked at; a large table must not hold the first paint back.
    static constexpr int sampledRows = 50;

    // Sizes the columns and keeps the count column wide enough from then on.
    static void fit(QTableView& grid);

private:
    static void widenForCounts(QTableView& grid);
};
