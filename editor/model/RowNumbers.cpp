// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/RowNumbers.h"

#include <algorithm>

void RowNumbers::learn(const QList<qint64>& ids) const
{
    if (m_known)
        return;
    m_inIdOrder = std::is_sorted(ids.cbegin(), ids.cend());
    m_sorted.clear();
    if (!m_inIdOrder) {
        m_sorted = ids;
        std::sort(m_sorted.begin(), m_sorted.end());
    }
    m_known = true;
}

int RowNumbers::number(const QList<qint64>& ids, int row) const
{
    if (row < 0 || row >= ids.size())
        return 0;
    learn(ids);
    if (m_inIdOrder)
        return row + 1;
    const auto place = std::lower_bound(m_sorted.cbegin(), m_sorted.cend(), ids.at(row));
    return int(place - m_sorted.cbegin()) + 1;
}

int RowNumbers::row(const QList<qint64>& ids, int number) const
{
    if (number < 1 || number > ids.size())
        return -1;
    learn(ids);
    if (m_inIdOrder)
        return number - 1;
    return int(ids.indexOf(m_sorted.at(number - 1)));
}
