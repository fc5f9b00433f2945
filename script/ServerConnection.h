// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptLocation.h"
#include "script/ServerNotices.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

class QObject;
class QSqlError;
class QSqlQuery;

// The connection to a PostgreSQL server that every table of one server script shares within
// a thread, through Qt's PostgreSQL driver. One connection, not four, because a server admits
// only so many and a room of kiosks would use them up; and one, so that work on several tables
// can be one transaction.
//
// Connecting happens on a thread of its own while the calling thread goes on handling its
// events, so a server that is slow to answer never freezes a window; after
// keepCallerResponsive(), every statement does too. A connection that is lost is opened again
// by the next statement, unless a transaction was under way: that one has failed, and saying
// so is the only honest outcome.
//
// Faults are thrown as ScriptError naming the table the caller works on: Kind::Unreachable
// while the server does not answer, Kind::Locked while another program holds a lock longer
// than the lock timeout, Kind::Fault for everything trying again would not mend.
class ServerConnection : public std::enable_shared_from_this<ServerConnection> {
public:
    static std::shared_ptr<ServerConnection> to(const ScriptLocation& location);
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    const ScriptLocation& location() const { return m_location; }
    // Connects now unless connected; `table` names the table in a fault.
    void ensureOpen(const QString& table);
    QSqlDatabase database() const;

    QSqlQuery exec(const QString& table, const QString& sql, const QVariantList& bindings = {});
    // Runs `work` in one transaction; work on other tables of this connection meanwhile joins
    // it, and a fault anywhere in it rolls all of it back.
    void transaction(const QString& table, const std::function<void()>& work);
    // The same, for a transaction held open across calls: work between begin() and end()
    // joins it; end() commits it when `keep` says so (throwing when a part failed) and rolls
    // it back otherwise.
    void begin(const QString& table);
    void end(const QString& table, bool keep);
    // How long statements from now on wait for another program's lock (lock_timeout); the
    // tables sharing the connection each say theirs before their statements, which costs a
    // statement only when it changes.
    void setLockTimeout(const QString& table, int milliseconds);
    // From now on statements run on a thread of their own while the calling thread goes on
    // handling its events. For a window whose own code never reaches the script while it
    // waits (the runner's): a statement asked for meanwhile is refused as one that may pass.
    void keepCallerResponsive() { m_responsive = true; }

    // Listens from now on, and again after every reconnect, for the changes programs commit
    // to the script's tables, which their triggers announce; `table` names the table in a
    // fault. The notices come through notices(), in the events of the connection's thread.
    void listen(const QString& table);
    ServerNotices& notices() { return m_notices; }
    // A number that grows whenever another program's change to `table` is announced, and
    // whenever the connection is made again, as notices may have gone by meanwhile. A
    // connection found lost (a server restarted) is made again here, listening again; this
    // sends nothing to a server that is there.
    qint64 announcements(const QString& table);
    // Throws the ScriptError for a statement that failed on this connection.
    [[noreturn]] void fail(const QString& table, const QSqlError& error);

private:
    explicit ServerConnection(ScriptLocation location);
    void connect(const QString& table);
    // libpq's words for a fault, on one line and without the driver's trimmings.
    static QString serverWords(const QSqlError& error);
    void close();
    void rollBack();
    bool isAlive() const;
    bool isLostBy(const QSqlError& error) const;
    QSqlQuery run(const QString& sql, const QVariantList& bindings, QSqlError& error);
    QString withValues(const QString& sql, const QVariantList& bindings) const;
    // Runs `work` on a thread of its own, handling the caller's events until it is done;
    // `carried` goes to that thread for the work and comes back after it.
    void whileResponsive(const std::function<void()>& work, QObject* carried = nullptr);
    void refuseWhileWaiting(const QString& table) const;
    void subscribe(const QString& table);

    ScriptLocation m_location;
    QString m_connection; // the name of the Qt connection in use; empty while closed
    int m_lockTimeoutMs = 5000;
    bool m_lockTimeoutSet = false; // whether the server has m_lockTimeoutMs
    int m_depth = 0;
    bool m_transactionFailed = false;
    bool m_responsive = false;
    bool m_waiting = false; // inside whileResponsive, where the caller's events run
    bool m_listening = false;
    qint64 m_connects = 0;
    QHash<QString, qint64> m_announced; // by table
    ServerNotices m_notices;
};
