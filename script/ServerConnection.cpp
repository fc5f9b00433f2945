// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ServerConnection.h"

#include "script/Libpq.h"
#include "script/ScriptError.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isLockState(const QString& state)
{
    // lock_not_available (lock_timeout), deadlock_detected, serialization_failure
    return state == u"55P03"_s || state == u"40P01"_s || state == u"40001"_s;
}

bool isConnectionState(const QString& state)
{
    // connection_exception, admin_shutdown, crash_shutdown, cannot_connect_now
    return state.startsWith(u"08"_s) || state == u"57P01"_s || state == u"57P02"_s ||
           state == u"57P03"_s;
}

bool changesNothing(const QString& sql)
{
    const QString start = sql.trimmed().section(u' ', 0, 0).toUpper();
    return start == u"SELECT"_s || start == u"BEGIN"_s || start == u"SET"_s;
}

} // namespace

// libpq's words, on one line and without the driver's trimmings: "ERROR:  x\nLINE 1..(42P01)"
// becomes "x".
QString ServerConnection::serverWords(const QSqlError& error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    const bool statement = text.startsWith(u"ERROR:"_s);
    if (statement)
        text = text.section(u'\n', 0, 0).mid(6);
    text = text.simplified();
    const QString code = u"(%1)"_s.arg(error.nativeErrorCode());
    if (text.endsWith(code))
        text.chop(code.size());
    text = text.trimmed();
    return text.isEmpty() ? u"no reason given"_s : text;
}

std::shared_ptr<ServerConnection> ServerConnection::to(const ScriptLocation& location)
{
    static QMutex mutex;
    static QHash<QString, std::weak_ptr<ServerConnection>> open;
    QString key =
        QString::number(quintptr(QThread::currentThread())) + u'\n' + location.password() + u'\n';
    for (const auto& [name, value] : location.parameters())
        key += name + u'=' + value + u'\n';
    const QMutexLocker lock(&mutex);
    if (auto existing = open.value(key).lock())
        return existing;
    std::shared_ptr<ServerConnection> made(new ServerConnection(location));
    open.insert(key, made);
    return made;
}

ServerConnection::ServerConnection(ScriptLocation location)
    : m_location(std::move(location))
{
}

ServerConnection::~ServerConnection()
{
    close();
}

QSqlDatabase ServerConnection::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

void ServerConnection::close()
{
    if (m_connection.isEmpty())
        return;
    {
        QSqlDatabase db = database();
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

bool ServerConnection::isAlive() const
{
    const QSqlDatabase db = database();
    if (!db.isOpen())
        return false;
    // The driver names the handle after libpq's struct or its typedef, by Qt version.
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0)
        return true;
    return Libpq::get()->status(*static_cast<PGconn* const*>(handle.constData())) == CONNECTION_OK;
}

bool ServerConnection::isLostBy(const QSqlError& error) const
{
    // Every error the server reports carries a SQLSTATE; one without it arose in libpq, on
    // the way to or from the server. libpq marks the connection broken only once it reads
    // from it again, so its status alone would tell a lost connection too late.
    const QString state = error.nativeErrorCode();
    return state.isEmpty() || isConnectionState(state) || !isAlive();
}

void ServerConnection::fail(const QString& table, const QSqlError& error)
{
    const QString state = error.nativeErrorCode();
    const QString words = serverWords(error);
    if (m_depth > 0)
        m_transactionFailed = true;
    if (isLostBy(error)) {
        close();
        throw ScriptError(table, u"the connection to the server was lost (%1)"_s.arg(words), 0, {},
                          ScriptError::Kind::Unreachable);
    }
    throw ScriptError(table, words, 0, {},
                      isLockState(state) ? ScriptError::Kind::Locked : ScriptError::Kind::Fault);
}

QSqlQuery ServerConnection::exec(const QString& table, const QString& sql,
                                 const QVariantList& bindings)
{
    // A caller's event handled while a statement runs may let go of the last table on this
    // connection; the connection stays until the statement is done.
    const std::shared_ptr<ServerConnection> keep = shared_from_this();
    ensureOpen(table);
    QSqlError error;
    {
        QSqlQuery query = run(sql, bindings, error);
        // A connection the server dropped while it lay idle (a restart, an idle timeout) is
        // found only when used. A statement that changes nothing is safe to send once more on
        // a new connection; one that may have changed something is never sent twice.
        if (error.isValid() && m_depth == 0 && isLostBy(error) && changesNothing(sql)) {
            query = QSqlQuery();
            close();
            connect(table);
            error = {};
            query = run(sql, bindings, error);
        }
        if (!error.isValid())
            return query;
    }
    fail(table, error);
}

QString ServerConnection::withValues(const QString& sql, const QVariantList& bindings) const
{
    // The values go into the statement as the driver writes them for a prepared statement's
    // EXECUTE, quoted and escaped, but in one round trip instead of three (PREPARE, EXECUTE and
    // DEALLOCATE), the last of which would otherwise be sent when the caller lets go of the
    // query, on its own thread. A "?" inside quotes is part of a name or a text.
    const QSqlDriver* driver = database().driver();
    QString result;
    result.reserve(sql.size() + 16 * bindings.size());
    QChar quote;
    qsizetype next = 0;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?' && next < bindings.size()) {
            const QVariant& value = bindings.at(next++);
            QSqlField field(QString(), value.metaType());
            // A null text is NULL, as Qt binds it, though Qt 6's QVariant calls it no null.
            const bool null =
                value.isNull() ||
                (value.typeId() == QMetaType::QString && value.toString().isNull()) ||
                (value.typeId() == QMetaType::QByteArray && value.toByteArray().isNull());
            if (!null)
                field.setValue(value);
            result += driver->formatValue(field);
            continue;
        }
        result += c;
    }
    return result;
}

QSqlQuery ServerConnection::run(const QString& sql, const QVariantList& bindings, QSqlError& error)
{
    const auto here = [&](bool forwardOnly) {
        QSqlQuery query(database());
        query.setForwardOnly(forwardOnly);
        if (query.exec(bindings.isEmpty() ? sql : withValues(sql, bindings)))
            return query;
        error = query.lastError();
        return QSqlQuery();
    };
    if (!m_responsive || !QCoreApplication::instance())
        return here(true);
    // The driver goes with the statement and comes back with every row read: a forward-only
    // query would fetch its rows as the caller steps through them, back on its thread.
    QSqlQuery query;
    whileResponsive([&] { query = here(false); }, database().driver());
    return query;
}

void ServerConnection::transaction(const QString& table, const std::function<void()>& work)
{
    begin(table);
    try {
        work();
    } catch (...) {
        m_transactionFailed = true;
        end(table, false);
        throw;
    }
    end(table, true);
}

void ServerConnection::begin(const QString& table)
{
    refuseWhileWaiting(table);
    if (m_depth == 0) {
        exec(table, u"BEGIN"_s);
        m_transactionFailed = false;
    }
    ++m_depth;
}

void ServerConnection::end(const QString& table, bool keep)
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    if (!keep) {
        rollBack();
        return;
    }
    if (m_transactionFailed) {
        // The server turns COMMIT after a failed statement into a rollback without a word.
        rollBack();
        throw ScriptError(table, u"a part of the change failed, so none of it was saved"_s);
    }
    exec(table, u"COMMIT"_s);
}

void ServerConnection::rollBack()
{
    if (isAlive())
        QSqlQuery(database()).exec(u"ROLLBACK"_s);
    // A lock timeout set within the transaction went with it.
    m_lockTimeoutSet = false;
}

void ServerConnection::setLockTimeout(const QString& table, int milliseconds)
{
    refuseWhileWaiting(table);
    if (m_lockTimeoutSet && milliseconds == m_lockTimeoutMs)
        return;
    m_lockTimeoutMs = milliseconds;
    // A connection not yet open, or lost, is given the timeout as it connects.
    if (isAlive()) {
        exec(table, u"SET lock_timeout = %1"_s.arg(milliseconds));
        m_lockTimeoutSet = true;
    }
}
