// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/RowNumbers.h"

#include <QAbstractItemModel>
#include <algorithm>

RowNumbers::RowNumbers(const QAbstractItemModel& model, std::function<const QList<qint64>&()> ids)
    : m_ids(std::move(ids))
{
    connect(&model, &QAbstractItemModel::rowsInserted, this, &RowNumbers::forget);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &RowNumbers::forget);
    connect(&model, &QAbstractItemModel::rowsMoved, this, &RowNumbers::forget);
    connect(&model, &QAbstractItemModel::modelReset, this, &RowNumbers::forget);
    connect(&model, &QAbstractItemModel::layoutChanged, this, &RowNumbers::forget);
}

int RowNumbers::number(int row) const
{
    const QList<qint64>& ids = m_ids();
    if (row < 0 || row >= ids.size())
        return 0;
    if (!m_known) {
        m_inIdOrder = std::is_sorted(ids.cbegin(), ids.cend());
        m_sorted.clear();
        if (!m_inIdOrder) {
            m_sorted = ids;
            std::sort(m_sorted.begin(), m_sorted.end());
        }
        m_known = true;
    }
    if (m_inIdOrder)
        return row + 1;
    const auto place = std::lower_bound(m_sorted.cbegin(), m_sorted.cend(), ids.at(row));
    return int(place - m_sorted.cbegin()) + 1;
}
