// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Part of class ServerConnection, kept apart so that no file grows long: making the connection
// (again), listening on it for the server's notices, and the waits that let the caller's
// thread go on meanwhile. Statements, transactions and faults are in ServerConnection.cpp.
#include "script/Libpq.h"
#include "script/ScriptError.h"
#include "script/ServerConnection.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QEventLoop>
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

QString quotedOption(const QString& value)
{
    return u'\'' + QString(value).replace(u'\\', u"\\\\"_s).replace(u'\'', u"\\'"_s) + u'\'';
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

void ServerConnection::refuseWhileWaiting(const QString& table) const
{
    if (m_waiting)
        throw ScriptError(table, u"the server is still answering an earlier request"_s, 0, {},
                          ScriptError::Kind::Locked);
}

void ServerConnection::whileResponsive(const std::function<void()>& work, QObject* carried)
{
    QThread* caller = QThread::currentThread();
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        work();
        if (carried)
            carried->moveToThread(caller);
    }));
    if (carried)
        carried->moveToThread(worker.get());
    if (QCoreApplication::instance()) {
        QEventLoop loop;
        QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
        m_waiting = true;
        worker->start();
        loop.exec();
    } else {
        worker->start();
    }
    // The loop also ends when the program is quitting; the work is bounded by the connection's
    // timeouts.
    worker->wait();
    m_waiting = false;
}

void ServerConnection::ensureOpen(const QString& table)
{
    refuseWhileWaiting(table);
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
    whileResponsive([&] {
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
    });

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
    m_lockTimeoutSet = true;
    ++m_connects;
    if (m_listening)
        subscribe(table);
}

void ServerConnection::listen(const QString& table)
{
    ensureOpen(table);
    if (m_listening)
        return;
    m_listening = true;
    subscribe(table);
}

void ServerConnection::subscribe(const QString& table)
{
    QSqlDriver* driver = database().driver();
    if (!driver->subscribeToNotification(m_location.schema()))
        fail(table, driver->lastError());
    QObject::connect(
        driver, &QSqlDriver::notification, &m_notices,
        [this](const QString&, QSqlDriver::NotificationSource source, const QVariant& payload) {
            // This program knows what it wrote itself.
            if (source == QSqlDriver::SelfSource)
                return;
            const QString changed = payload.toString().section(u' ', 0, 0);
            ++m_announced[changed];
            Q_EMIT m_notices.changed(changed);
        });
}

qint64 ServerConnection::announcements(const QString& table)
{
    // A server that went away closed the connection; libpq marks it so as soon as the driver
    // reads the socket it watches for notices, with no statement sent.
    if (m_listening && !isAlive())
        ensureOpen(table);
    return m_connects + m_announced.value(table);
}
