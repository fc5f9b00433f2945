// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/PageCache.h"

#include "script/RecordStore.h"

PageCache::PageCache(const RecordStore& store, int pageSize, int maxPages)
    : m_store(store)
    , m_pageSize(pageSize)
    , m_pages(maxPages)
{
}

const QVariantList* PageCache::values(const QList<qint64>& ids, int row)
{
    const int number = row / m_pageSize;
    Page* page = m_pages.object(number);
    if (!page) {
        page = new Page(m_store.read(ids.mid(qsizetype(number) * m_pageSize, m_pageSize)));
        m_pages.insert(number, page);
    }
    const auto found = page->constFind(ids.at(row));
    return found == page->constEnd() ? nullptr : &found.value();
}

void PageCache::put(int row, qint64 id, const QVariantList& values)
{
    if (Page* page = m_pages.object(row / m_pageSize))
        page->insert(id, values);
}
