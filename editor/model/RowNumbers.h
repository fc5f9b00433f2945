// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>

// The number every message gives a row: its place in ID order, from 1, which is the order the
// runner and the script check read the rows in, whatever order a grid shows them in.
//
// Worked out for the rows `ids` when first asked for after forget(), which the owner of the
// list calls whenever rows come, go or change order.
class RowNumbers {
public:
    // The number of the row shown at `row`; 0 when there is no such row.
    int number(const QList<qint64>& ids, int row) const;
    // The row shown with `number`; -1 when there is no such row.
    int row(const QList<qint64>& ids, int number) const;

    void forget() { m_known = false; }

private:
    void learn(const QList<qint64>& ids) const;

    mutable bool m_known = false;
    mutable bool m_inIdOrder = true;
    mutable QList<qint64> m_sorted; // only when the rows are shown in another order
};
