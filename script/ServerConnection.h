// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptLocation.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

class QSqlError;
class QSqlQuery;

// The connection to a PostgreSQL server that every table of one server script shares within
// a thread, through Qt's PostgreSQL driver. One connection, not four, because a server admits
// only so many and a room of kiosks would use them up; and one, so that work on several tables
// can be one transaction.
//
// Connecting happens on a thread of its own while the calling thread goes on handling its
// events, so a server that is slow to answer never freezes a window. A connection that is lost
// is opened again by the next statement, unless a transaction was under way: that one has
// failed, and saying so is the only honest outcome.
//
// Faults are thrown as ScriptError naming the table the caller works on: Kind::Unreachable
// while the server does not answer, Kind::Locked while another program holds a lock longer
// than the lock timeout, Kind::Fault for everything trying again would not mend.
class ServerConnection {
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
    // How long a statement waits for another program's lock (lock_timeout).
    void setLockTimeout(const QString& table, int milliseconds);
    // Throws the ScriptError for a statement that failed on this connection.
    [[noreturn]] void fail(const QString& table, const QSqlError& error);

private:
    explicit ServerConnection(ScriptLocation location);
    void connect(const QString& table);
    void close();
    bool isAlive() const;
    bool isLostBy(const QSqlError& error) const;
    QSqlQuery run(const QString& sql, const QVariantList& bindings, QSqlError& error) const;

    ScriptLocation m_location;
    QString m_connection; // the name of the Qt connection in use; empty while closed
    int m_lockTimeoutMs = 5000;
    int m_depth = 0;
    bool m_transactionFailed = false;
};
