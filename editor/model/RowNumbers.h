// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QAbstractItemModel;

// The number every message gives a row: its place in ID order, from 1, which is the order the
// runner and the script check read the rows in, whatever order a grid shows them in.
//
// Kept for one model whose rows are `ids()`; worked out again after rows come, go or change
// order, and only when a number is next asked for.
class RowNumbers : public QObject {
    Q_OBJECT

public:
    RowNumbers(const QAbstractItemModel& model, std::function<const QList<qint64>&()> ids);

    // The number of the row shown at `row`; 0 when there is no such row.
    int number(int row) const;

private:
    void forget() { m_known = false; }

    std::function<const QList<qint64>&()> m_ids;
    mutable bool m_known = false;
    mutable bool m_inIdOrder = true;
    mutable QList<qint64> m_sorted; // only when the rows are shown in another order
};
