// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCache>
#include <QHash>
#include <QList>
#include <QVariantList>

class RecordStore;

// Row values read in pages of consecutive rows, of which only a bounded number is kept, so
// that scrolling through a large table does not pile up memory.
class PageCache {
public:
    PageCache(const RecordStore& store, int pageSize, int maxPages);

    // The values of the row at `row` of `ids`, reading its page when it is not held; nullptr
    // when the file no longer holds the row. Throws ScriptError when the page cannot be read.
    const QVariantList* values(const QList<qint64>& ids, int row);
    // Replaces the values of a row whose page is held.
    void put(int row, qint64 id, const QVariantList& values);
    void dropPage(int row) { m_pages.remove(row / m_pageSize); }
    void clear() { m_pages.clear(); }
    int size() const { return int(m_pages.size()); }

private:
    using Page = QHash<qint64, QVariantList>;

    const RecordStore& m_store;
    int m_pageSize;
    QCache<int, Page> m_pages;
};
