// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/model/PageCache.h"
#include "editor/model/RowNumbers.h"

#include <QList>
#include <QVariantList>
#include <functional>

class RecordStore;

// The rows a grid shows of one script file, in the order shown: their IDs, the values of the
// pages read last, and the number each row has in messages.
//
// Only the IDs are held in full. A large file lists its first rows at once and the rest when
// asked. Every change to the list is told to its Listener before and after, as a Qt model
// tells its views, and values held for rows that moved are forgotten, so that a row never
// shows another's values.
class RowList {
public:
    // Told around every change to the list.
    class Listener {
    public:
        virtual void beforeInsert(int first, int last) = 0;
        virtual void afterInsert() = 0;
        virtual void beforeRemove(int first, int last) = 0;
        virtual void afterRemove() = 0;
        virtual void beforeReset() = 0;
        virtual void afterReset() = 0;

    protected:
        ~Listener() = default;
    };

    static constexpr int pageSize = 100;
    static constexpr int maxCachedPages = 40;
    // Rows listed at opening; a file with more shows them first and the rest a moment later.
    static constexpr int firstRows = 1000;

    // Lists the first rows of the file; throws ScriptError when they cannot be read.
    RowList(const RecordStore& store, Listener& listener);

    int size() const { return int(m_ids.size()); }
    // The rows as shown, by ID.
    const QList<qint64>& ids() const { return m_ids; }
    qint64 id(int row) const { return m_ids.at(row); }
    // The row showing `id`; -1 when none does.
    int rowOf(qint64 id) const { return int(m_ids.indexOf(id)); }

    // The row's number in every message: its place in ID order, from 1, whatever the order
    // shown; 0 when there is no such row.
    int number(int row) const { return m_numbers.number(m_ids, row); }
    // The number of the row showing `id`; 0 when none does.
    int numberOf(qint64 id) const { return number(rowOf(id)); }
    // The row that messages call `number`; -1 when there is none.
    int rowOfNumber(int number) const { return m_numbers.row(m_ids, number); }

    // What the file held for the row when its page was read; read now when the page is not
    // held. nullptr when the file no longer holds the row; throws ScriptError when the page
    // cannot be read.
    const QVariantList* values(int row) const { return m_cache.values(m_ids, row); }
    // Holds what the file now holds for the row, where its page is held.
    void keep(int row, const QVariantList& values) { m_cache.put(row, m_ids.at(row), values); }
    // Forgets the values read, so that they are read again; or those of the row's page.
    void forgetValues() { m_cache.clear(); }
    void forgetValues(int row) { m_cache.dropPage(row); }
    int cachedPages() const { return m_cache.size(); }

    bool isComplete() const { return m_complete; }
    // Lists the rest of a large file; throws ScriptError when the list cannot be read.
    void complete();
    // The same, from every ID the file holds (in ID order), read elsewhere. Rows another
    // program deleted meanwhile leave the list and the rest follow the rows listed, so that
    // the rows in view, the current one among them, stay where they are.
    void complete(QList<qint64> all);
    // Follows what other programs added and deleted: rows deleted leave the list, unless
    // `keep` holds on to them, and rows added come last, as after "Add", whatever the order
    // shown. Throws ScriptError when the changes cannot be read.
    void refresh(const std::function<bool(qint64 id)>& keep);

    // A row added to the file comes last.
    void append(qint64 id);
    // A row put back comes in at `row`, or at the nearer end of the list.
    void insert(int row, qint64 id);
    void remove(int row);
    // Shows the rows in the order `ids` gives, as a sort does, all of them.
    void reorder(QList<qint64> ids);
    // Lists the first rows of the store afresh, as at opening; throws ScriptError when they
    // cannot be read. With `none`, lists no rows and reads nothing.
    void relist(bool none = false);

private:
    // Removes the rows whose IDs are in `gone`, each run of them told once, from the end.
    void removeRows(const std::function<bool(qint64 id)>& gone);

    const RecordStore& m_store;
    Listener& m_listener;
    QList<qint64> m_ids;
    mutable PageCache m_cache;
    RowNumbers m_numbers;
    bool m_complete = true;
};
