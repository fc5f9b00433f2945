// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/TableLayout.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

class ScriptLocation;
class ScriptRow;
class ServerConnection;
class ServerNotices;
class ServerSchema;
class QSqlError;
class QSqlQuery;

// One script table: a SQLite file holding Table1 in a known layout, opened on a connection of
// its own that lives exactly as long as this object; or a table of a script on a PostgreSQL
// server (see ScriptLocation), reached through the connection the tables of that server share.
// Statements name the table by sqlName() and the key by quoted(keyColumn()), so that the same
// SQL serves both.
//
// Files are opened with the URI mode=rw so that a missing file is an error rather than a
// new, empty script; every fault is thrown as ScriptError naming the file. Opening never
// changes a file. Files this project makes use a write-ahead log, so that a reader never
// holds off a writer; files made elsewhere keep their journal mode and still work, with
// writers waiting briefly on a lock.
class ScriptTable {
public:
    // Whether open() reads every page of a large file before it returns, or leaves that to
    // checkIntegrity(), so that a window can show the first rows before the whole file is read.
    // A small file is checked at once either way.
    enum class Integrity { Now, Deferred };

    // Opens DIR/layout.fileName and checks that it holds Table1 in `layout`; or, when `dir` is
    // a server's address, the layout's table there.
    static std::unique_ptr<ScriptTable> open(const QString& dir, const TableLayout& layout,
                                             Integrity integrity = Integrity::Now);
    // Creates DIR/layout.fileName with an empty Table1 (or the table on a server); refuses to
    // replace an existing one.
    static std::unique_ptr<ScriptTable> create(const QString& dir, const TableLayout& layout);
    // The path the programs use for a script file: the folder joined with the file name.
    static QString pathIn(const QString& dir, const TableLayout& layout);
    // Whether DIR holds the file, or the server's script a table by the layout's name (which
    // open() may still find mis-laid). Throws ScriptError when the server cannot be asked.
    static bool exists(const QString& dir, const TableLayout& layout);

    ~ScriptTable();
    ScriptTable(const ScriptTable&) = delete;
    ScriptTable& operator=(const ScriptTable&) = delete;

    const TableLayout& layout() const { return *m_layout; }
    // The file's path, or the server's address as it may be shown.
    const QString& path() const { return m_path; }
    // The name messages give the table: its file's ("special.mdb") or the server table's
    // ("special").
    const QString& fileName() const { return m_name; }
    bool isReadOnly() const { return m_readOnly; }
    bool isOnServer() const { return m_server != nullptr; }
    // The table as SQL names it: Table1 in a file, "schema"."special" on a server.
    QString sqlName() const;
    QSqlDatabase database() const;

    // Visits the rows in ID order with the given columns; `visit` may throw to stop.
    void forEachRow(const QStringList& columns,
                    const std::function<void(const ScriptRow&)>& visit) const;
    qint64 rowCount() const;
    // Appends a row; values are given for layout().columns in order.
    qint64 insertRow(const QVariantList& values);

    // Runs one statement, throwing ScriptError with the engine's own words on failure.
    QSqlQuery exec(const QString& sql, const QVariantList& bindings = {}) const;
    // Runs one statement as exec() does, keeping it prepared for the next run of the same SQL:
    // for a statement run once for each of thousands of rows. The query stays valid until the
    // same SQL runs again.
    QSqlQuery& execReused(const QString& sql, const QVariantList& bindings);
    // Runs `work` inside one write transaction (BEGIN IMMEDIATE .. COMMIT).
    void writeTransaction(const std::function<void()>& work);
    // Throws ScriptError when the path no longer names the file that was opened: deleted,
    // or replaced by another. A connection goes on working on the old file, so what it
    // writes there would be lost without a word.
    void checkStillThere() const;
    // Lets go of a file that was deleted or replaced under the program: what the connection's
    // write-ahead log holds goes into the old file first and the log is emptied, so that a
    // program opening the new file under the same name cannot read old pages through it.
    // Every later statement fails with ScriptError.
    void letGo();
    // How long a statement waits for another program's lock before it fails with
    // ScriptError::Kind::Locked; five seconds unless changed. A caller that keeps a window
    // responsive waits in short steps of its own instead. A server waits at least a
    // millisecond, since no wait at all means an endless one there.
    void setBusyTimeout(int milliseconds);
    // The wait setBusyTimeout set last.
    int busyTimeout() const { return m_lockTimeoutMs; }
    // For a window: statements on a server run while the calling thread goes on handling its
    // events, so a server slow to answer, or a network gone quiet, never freezes it. (A file
    // answers at once, or waits on a lock only as long as setBusyTimeout allows.)
    void keepCallerResponsive();
    // On a server, listens for the changes other programs commit to the script's tables,
    // which the server announces; the returned object's changed() tells each, naming its
    // table. nullptr for a file: its changes are found by asking (RecordStore::dataVersion).
    ServerNotices* listen();
    // On a server, a number that grows with every change another program commits to this
    // table once listen() was called, and with every reconnect (see ServerConnection).
    qint64 announcements() const;

    // Throws a statement's failure on this table as ScriptError: the engine's or server's own
    // words, and the kind a caller acts on (locked, unreachable, full disk, file replaced).
    [[noreturn]] void fail(const QSqlError& error) const;

    static QString quoted(const QString& identifier);
    // A value as read, with every whole number as a qint64 whichever store it came from.
    static QVariant fieldValue(const QVariant& value);

    // Throws ScriptError when a page of the file is damaged. The file is read once; later
    // calls only repeat the verdict.
    void checkIntegrity() const;
    bool integrityKnown() const { return m_integrityKnown; }
    // The whole file was read for damage through another connection and found sound.
    void knowIntact() { m_integrityKnown = true; }

private:
    ScriptTable(const TableLayout& layout, QString path, bool readOnly);
    static std::unique_ptr<ScriptTable> onServer(const ScriptLocation& location,
                                                 const TableLayout& layout, bool create);
    enum class Access { ReadWrite, Create, ReadAsItStands };
    void connect(Access access);
    void checkLayout() const;
    [[noreturn]] void fail(const QString& reason) const;
    // Why statements fail when the file was deleted or replaced under the open connection;
    // empty while the path still names the file that was opened.
    QString goneReason() const;

    const TableLayout* m_layout;
    QString m_path;
    QString m_name;
    std::shared_ptr<ServerConnection> m_server;
    std::unique_ptr<ServerSchema> m_schema;
    QString m_connection;
    bool m_readOnly;
    // The busy timeout; a server table's is set again before each statement, its connection
    // being shared.
    int m_lockTimeoutMs = 5000;
    QByteArray m_identity; // device and inode at opening, where the system tells them
    std::unique_ptr<QHash<QString, QSqlQuery>> m_reused; // prepared statements kept by SQL
    mutable bool m_integrityKnown = false;
    mutable QString m_damage; // what the check found; empty for an intact file
};
