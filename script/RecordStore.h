// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/FileStamp.h"
#include "script/TextChanges.h"

#include <QHash>
#include <QList>
#include <QVariant>
#include <QVariantList>
#include <chrono>
#include <functional>
#include <optional>

class QObject;
class QSqlQuery;
class ScriptTable;

// The record operations the editor performs on one script file: the ordered list of row IDs,
// reads of rows by ID, and writes that never overwrite a change made elsewhere. The same for
// a table of a script on a server, whose statements differ here and there.
//
// Values are always those of layout().columns, in order. Every fault is thrown as ScriptError.
class RecordStore {
public:
    enum class Order { ById, ByCountDescending };

    // One field an author changed: what it held when the author began, and what was typed.
    struct Change {
        int column = 0; // position in layout().columns
        QVariant base;
        QVariant value;
    };
    // What became of one row's changes.
    struct Written {
        std::optional<QVariantList> now; // the row as the file holds it; nullopt when gone
        QList<int> conflicts;            // fields changed elsewhere since their base: not written
        QList<int> written;              // fields this write changed in the file
    };
    // Whether a write waits for another program's lock or gives up at once.
    enum class Wait { Patiently, Briefly };
    // Rows another program added or deleted.
    struct RowChanges {
        QList<qint64> added; // in ID order
        QList<qint64> deleted;
    };

    explicit RecordStore(ScriptTable& table);

    ScriptTable& table() const { return *m_table; }

    // All row IDs in the given order; ByCountDescending is most confirmations first, ties by ID.
    QList<qint64> ids(Order order) const;
    // The first `count` row IDs in ID order, read without going through the rest.
    QList<qint64> firstIds(int count) const;
    // The rows with the given IDs that still exist, keyed by ID.
    QHash<qint64, QVariantList> read(const QList<qint64>& wanted) const;
    std::optional<QVariantList> read(qint64 id) const;

    // Writes the changes of every row in one transaction, each field only if it still holds
    // its base. A change made elsewhere to another field of the row, such as a count the
    // runner added, is kept and does not stop the write; one made to the same field is a
    // conflict, left for the author to settle. A field that already holds the typed value
    // counts as written.
    QHash<qint64, Written> write(const QHash<qint64, QList<Change>>& rows,
                                 Wait wait = Wait::Patiently);
    // Writes changes of `changes` from `first` on, the given way, in one write transaction that
    // ends once `budget` has passed: a step of a write over thousands of rows, which must never
    // hold the file for long. Each field is written only if it still holds what the change
    // starts from; the positions of those that did not, or whose row is gone, are appended to
    // `missed`. Waits at most `lockWait` for another program's lock, then throws ScriptError
    // (Kind::Locked) having written nothing. Returns the position after the last one written.
    qsizetype writeTexts(const TextChanges& changes, qsizetype first, TextChanges::Way way,
                         std::chrono::milliseconds budget, std::chrono::milliseconds lockWait,
                         QList<qsizetype>& missed);
    // Appends a row in which nothing is set, leaving every field to its default; returns its ID.
    qint64 addDefaultRow();
    // Returns false when the row was already gone.
    bool remove(qint64 id);
    // Deletes the row and returns what it held, so that it can be put back; nullopt when the
    // row was already gone.
    std::optional<QVariantList> take(qint64 id);
    // What a compared delete found: the row as it was (nullopt when gone), and whether it was
    // deleted.
    struct Taken {
        std::optional<QVariantList> values;
        bool deleted = false;
    };
    // Deletes the row only if it still holds `expected`, as one transaction, so that nothing
    // another program wrote into it meanwhile goes without the author's word.
    Taken takeIfUnchanged(qint64 id, const QVariantList& expected);
    // Puts a taken row back under its own ID. Returns false, changing nothing, when another
    // row holds that ID by now.
    bool restore(qint64 id, const QVariantList& values);

    // A number that changes whenever another connection commits a change to the file; cheap
    // enough to ask every second. On a server it costs no statement: it counts the changes
    // the server announced to watch() (and asks again after a lost connection).
    qint64 dataVersion() const;
    // Calls `changed`, in `context`'s events, as the store announces a change another program
    // committed to the table: a server does, a file does not. Returns whether it will.
    bool watch(QObject* context, const std::function<void()>& changed);
    // Throws ScriptError when the file is no longer the one this store writes to: deleted,
    // replaced by another, or written over from outside SQLite (writtenOver() then tells which).
    // Cheap enough to ask every second, with the data version just read.
    void checkFile(qint64 dataVersion);
    // Whether the last checkFile() found the file written over under its name, rather than
    // deleted or replaced.
    bool writtenOver() const { return m_writtenOver; }
    // The rows added and deleted since `known` (the IDs read before, in any order) were read;
    // it costs one count when none were.
    RowChanges rowChanges(const QList<qint64>& known) const;

    // The largest count held as a number; 0 when there is none.
    qint64 largestCount() const;

    // Makes sure the count order is served by an index, for large special tables. A table too
    // large to index at once, while other programs wait for the file, is sorted without one.
    void ensureCountIndex();
    // The most rows an index is made for at once; more would hold the file too long.
    static constexpr qint64 maxRowsToIndex = 50000;

    // How many IDs one read statement asks for at most.
    static constexpr int readBatch = 200;

    // The same value, telling a null from the empty text.
    static bool sameValue(const QVariant& a, const QVariant& b);

private:
    QString columnList() const;
    // The IDs a query yields, in its order; throws ScriptError when the read fails.
    QList<qint64> readIds(QSqlQuery& query) const;
    // The IDs of a query that yields them joined in one text, in its order; throws
    // ScriptError when the read fails.
    QList<qint64> readJoinedIds(const QString& sql) const;
    Written writeRow(qint64 id, const QList<Change>& changes, std::optional<QVariantList> stored);
    // After this store wrote (or tried to write), what the file looks like is its own doing.
    void noteOwnWrite();

    ScriptTable* m_table;
    FileStamp m_stamp;
    bool m_writtenOver = false;
};
