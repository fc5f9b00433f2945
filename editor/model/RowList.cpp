// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/RowList.h"

#include "script/RecordStore.h"

#include <QSet>
#include <algorithm>
#include <limits>

RowList::RowList(const RecordStore& store, Listener& listener)
    : m_store(store)
    , m_listener(listener)
    , m_ids(store.firstIds(firstRows))
    , m_cache(store, pageSize, maxCachedPages)
    , m_complete(m_ids.size() < firstRows)
{
}

void RowList::complete()
{
    if (!m_complete)
        complete(m_store.ids(RecordStore::Order::ById));
}

void RowList::complete(QList<qint64> all)
{
    if (m_complete)
        return;
    m_complete = true;
    removeRows([&all](qint64 id) { return !std::binary_search(all.cbegin(), all.cend(), id); });
    // The rest come after the rows listed, as they are in ID order; a row that came back among
    // them meanwhile, as an undone delete brings it, is listed already.
    const qint64 lastListed = m_ids.isEmpty() ? std::numeric_limits<qint64>::min()
                                              : *std::max_element(m_ids.cbegin(), m_ids.cend());
    const auto rest = std::upper_bound(all.cbegin(), all.cend(), lastListed);
    if (rest == all.cend())
        return;
    m_listener.beforeInsert(size(), size() + int(all.cend() - rest) - 1);
    if (rest - all.cbegin() == m_ids.size() &&
        std::equal(m_ids.cbegin(), m_ids.cend(), all.cbegin()))
        m_ids = std::move(all); // no copy of a million IDs
    else
        m_ids.append(QList<qint64>(rest, all.cend()));
    m_numbers.forget();
    m_listener.afterInsert();
}

void RowList::removeRows(const std::function<bool(qint64 id)>& gone)
{
    // From the end, in runs, so that each run is told once and the rows before keep their place.
    for (int last = size() - 1; last >= 0; --last) {
        if (!gone(m_ids.at(last)))
            continue;
        int first = last;
        while (first > 0 && gone(m_ids.at(first - 1)))
            --first;
        m_listener.beforeRemove(first, last);
        m_ids.remove(first, last - first + 1);
        m_cache.clear();
        m_numbers.forget();
        m_listener.afterRemove();
        last = first;
    }
}

void RowList::refresh(const std::function<bool(qint64 id)>& keep)
{
    const RecordStore::RowChanges changes = m_store.rowChanges(m_ids);
    QSet<qint64> deleted;
    for (qint64 id : changes.deleted) {
        if (!keep(id))
            deleted.insert(id);
    }
    if (!deleted.isEmpty())
        removeRows([&deleted](qint64 id) { return deleted.contains(id); });
    if (!changes.added.isEmpty()) {
        m_listener.beforeInsert(size(), size() + int(changes.added.size()) - 1);
        m_ids.append(changes.added);
        m_numbers.forget();
        m_listener.afterInsert();
    }
}

void RowList::append(qint64 id)
{
    const int row = size();
    m_listener.beforeInsert(row, row);
    m_ids.append(id);
    m_cache.dropPage(row);
    m_numbers.forget();
    m_listener.afterInsert();
}

void RowList::insert(int row, qint64 id)
{
    const int at = std::clamp(row, 0, size());
    m_listener.beforeInsert(at, at);
    m_ids.insert(at, id);
    m_cache.clear();
    m_numbers.forget();
    m_listener.afterInsert();
}

void RowList::remove(int row)
{
    m_listener.beforeRemove(row, row);
    m_ids.removeAt(row);
    m_cache.clear();
    m_numbers.forget();
    m_listener.afterRemove();
}

void RowList::reorder(QList<qint64> ids)
{
    m_listener.beforeReset();
    m_complete = true;
    m_ids = std::move(ids);
    m_cache.clear();
    m_numbers.forget();
    m_listener.afterReset();
}

void RowList::relist(bool none)
{
    QList<qint64> ids = none ? QList<qint64>() : m_store.firstIds(firstRows);
    m_listener.beforeReset();
    m_complete = ids.size() < firstRows;
    m_ids = std::move(ids);
    m_cache.clear();
    m_numbers.forget();
    m_listener.afterReset();
}
