// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ServerConnection.h"

#include "script/Libpq.h"
#include "script/ScriptError.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHash>
#include <QMutex>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// libpq waits this long for a server before it gives up; the caller's window keeps working.
constexpr auto connectTimeoutSeconds = "5";
// A statement on a connection whose network went away fails after this long instead of
// waiting for the system's TCP timeout, which may be many minutes.
constexpr auto tcpTimeoutMs = "5000";

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return u"veyrath-server-%1"_s.arg(counter.fetchAndAddRelaxed(1));
}

// libpq's words, on one line and without the driver's trimmings: "ERROR:  x\nLINE 1..(42P01)"
// becomes "x".
QString serverWords(const QSqlError& error)
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

QString quotedOption(const QString& value)
{
    return u'\'' + QString(value).replace(u'\\', u"\\\\"_s).replace(u'\'', u"\\'"_s) + u'\'';
}

bool changesNothing(const QString& sql)
{
    const QString start = sql.trimmed().section(u' ', 0, 0).toUpper();
    return start == u"SELECT"_s || start == u"BEGIN"_s || start == u"SET"_s;
}

struct Attempt {
    bool opened = false;
    QString reason;
    PGPing ping = PQPING_OK;
};

// Whether a server is there at all, for telling "down" from "refused": a ping needs no login.
PGPing ping(const ScriptLocation& location)
{
    std::vector<QByteArray> keys;
    std::vector<QByteArray> values;
    for (const auto& [key, value] : location.parameters()) {
        keys.push_back(key.toUtf8());
        values.push_back(value.toUtf8());
    }
    if (location.parameter(u"connect_timeout"_s).isEmpty()) {
        keys.emplace_back("connect_timeout");
        values.emplace_back(connectTimeoutSeconds);
    }
    std::vector<const char*> keyPointers;
    std::vector<const char*> valuePointers;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keyPointers.push_back(keys[i].constData());
        valuePointers.push_back(values[i].constData());
    }
    keyPointers.push_back(nullptr);
    valuePointers.push_back(nullptr);
    return Libpq::get()->pingParams(keyPointers.data(), valuePointers.data(), 0);
}

} // namespace

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

void ServerConnection::ensureOpen(const QString& table)
{
    if (isAlive())
        return;
    close();
    if (m_depth > 0)
        throw ScriptError(table,
                          u"the connection to the server was lost during a change, so none of "
                          u"the change was saved"_s,
                          0, {}, ScriptError::Kind::Unreachable);
    connect(table);
}

void ServerConnection::connect(const QString& table)
{
    if (!Libpq::get())
        throw ScriptError(table, QString::fromUtf8(Libpq::missing()));
    if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s))
        throw ScriptError(table, u"Qt's PostgreSQL driver is not installed, so a script on a "
                                 u"server cannot be opened; install the package "
                                 u"libqt6sql6-psql"_s);
    QStringList options;
    for (const auto& [key, value] : m_location.parameters()) {
        if (key == u"host"_s || key == u"port"_s || key == u"dbname"_s || key == u"user"_s)
            continue;
        // Qt's driver reads ';' as the end of an option, whatever the quotes say.
        if (value.contains(u';'))
            throw ScriptError(m_location.shown(),
                              u"the parameter \"%1\" holds a \";\", which Qt's PostgreSQL driver "
                              u"cannot pass on"_s.arg(key));
        options << key + u'=' + quotedOption(value);
    }
    if (m_location.parameter(u"connect_timeout"_s).isEmpty())
        options << u"connect_timeout="_s + QLatin1StringView(connectTimeoutSeconds);
    if (m_location.parameter(u"tcp_user_timeout"_s).isEmpty())
        options << u"tcp_user_timeout="_s + QLatin1StringView(tcpTimeoutMs);
    if (m_location.parameter(u"application_name"_s).isEmpty()) {
        const QString program = QCoreApplication::applicationName();
        options << u"application_name="_s +
                       quotedOption(program.isEmpty() ? u"veyrath"_s : program).remove(u';');
    }

    const QString name = nextConnectionName();
    Attempt attempt;
    QThread* caller = QThread::currentThread();
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        db.setHostName(m_location.parameter(u"host"_s));
        if (const QString port = m_location.parameter(u"port"_s); !port.isEmpty())
            db.setPort(port.toInt());
        db.setDatabaseName(m_location.parameter(u"dbname"_s));
        db.setUserName(m_location.parameter(u"user"_s));
        db.setPassword(m_location.password());
        db.setConnectOptions(options.join(u';'));
        attempt.opened = db.open();
        if (!attempt.opened) {
            attempt.reason = serverWords(db.lastError());
            attempt.ping = ping(m_location);
        }
        // The connection is used where it was asked for; only the waiting happened here.
        db.driver()->moveToThread(caller);
    }));
    if (QCoreApplication::instance()) {
        QEventLoop loop;
        QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
        worker->start();
        loop.exec();
    } else {
        worker->start();
    }
    // The loop also ends when the program is quitting; the attempt is bounded by its timeout.
    worker->wait();

    if (!attempt.opened) {
        QSqlDatabase::removeDatabase(name);
        if (attempt.ping == PQPING_NO_RESPONSE || attempt.ping == PQPING_REJECT)
            throw ScriptError(table, u"the server does not answer (%1)"_s.arg(attempt.reason), 0,
                              {}, ScriptError::Kind::Unreachable);
        throw ScriptError(table, u"the server refused the connection (%1)"_s.arg(attempt.reason));
    }
    m_connection = name;
    // The server's notices ("already exists, skipping") are for a person at psql, not for a
    // kiosk's log.
    QSqlQuery setting(database());
    if (!setting.exec(
            u"SET lock_timeout = %1; SET client_min_messages = warning"_s.arg(m_lockTimeoutMs)))
        fail(table, setting.lastError());
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

QSqlQuery ServerConnection::run(const QString& sql, const QVariantList& bindings,
                                QSqlError& error) const
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    // The server prepares only queries and changes of rows; the rest goes as it is.
    if (bindings.isEmpty() ? query.exec(sql) : query.prepare(sql)) {
        for (const QVariant& value : bindings)
            query.addBindValue(value);
        if (bindings.isEmpty() || query.exec())
            return query;
    }
    error = query.lastError();
    return QSqlQuery();
}

void ServerConnection::transaction(const QString& table, const std::function<void()>& work)
{
    if (m_depth == 0) {
        exec(table, u"BEGIN"_s);
        m_transactionFailed = false;
    }
    ++m_depth;
    try {
        work();
    } catch (...) {
        m_transactionFailed = true;
        if (--m_depth == 0 && isAlive())
            QSqlQuery(database()).exec(u"ROLLBACK"_s);
        throw;
    }
    if (--m_depth > 0)
        return;
    if (m_transactionFailed) {
        // The server turns COMMIT after a failed statement into a rollback without a word.
        if (isAlive())
            QSqlQuery(database()).exec(u"ROLLBACK"_s);
        throw ScriptError(table, u"a part of the change failed, so none of it was saved"_s);
    }
    exec(table, u"COMMIT"_s);
}

void ServerConnection::setLockTimeout(const QString& table, int milliseconds)
{
    m_lockTimeoutMs = milliseconds;
    if (isAlive())
        exec(table, u"SET lock_timeout = %1"_s.arg(milliseconds));
}
