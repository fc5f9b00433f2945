// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/ScriptFixture.h"

#include "script/ScriptTable.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// A connection outside the programs' own code, so tests see the file as another process would.
template <typename Work> void withConnection(const QString& path, Work work)
{
    const QString name = u"fixture-"_s + path;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=10000"_s);
        if (!db.open())
            qFatal("fixture cannot open %s", qPrintable(path));
        work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The same, on a test server as its superuser.
template <typename Work> void withServer(const QString& socket, Work work)
{
    static QAtomicInteger<int> counter;
    const QString name = u"fixture-server-%1"_s.arg(counter.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        db.setHostName(socket);
        db.setUserName(u"postgres"_s);
        db.setDatabaseName(u"postgres"_s);
        if (!db.open())
            qFatal("fixture cannot reach the test server: %s", qPrintable(db.lastError().text()));
        QSqlQuery(db).exec(u"SET client_min_messages = warning"_s);
        work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}
} // namespace

QString ScriptFixture::serverSocket()
{
    return qEnvironmentVariable("VEYRATH_TEST_SERVER");
}

void ScriptFixture::addStores()
{
    QTest::addColumn<ScriptFixture::Store>("store");
    QTest::newRow("folder") << Store::Folder;
    QTest::newRow("server") << Store::Server;
}

ScriptFixture::ScriptFixture(Store store, QString socket)
    : m_store(store)
    , m_socket(std::move(socket))
{
    if (!m_dir.isValid())
        qFatal("no temporary folder");
    m_location = m_dir.path();
    if (store == Store::Server) {
        static QAtomicInteger<int> counter;
        m_schema = u"test_%1_%2"_s.arg(QCoreApplication::applicationPid())
                       .arg(counter.fetchAndAddRelaxed(1));
        m_location = locationAs(u"postgres"_s);
    }
}

ScriptFixture::~ScriptFixture()
{
    if (m_store == Store::Server && !m_socket.isEmpty())
        serverExecute(u"DROP SCHEMA IF EXISTS \"%1\" CASCADE"_s.arg(m_schema));
}

QString ScriptFixture::locationAs(const QString& user) const
{
    return u"postgresql:///postgres?host=%1&user=%2&schema=%3"_s.arg(m_socket, user, m_schema);
}

QString ScriptFixture::path(const TableLayout& layout) const
{
    return m_store == Store::Server ? m_location : ScriptTable::pathIn(dir(), layout);
}

void ScriptFixture::serverExecute(const QString& sql) const
{
    withServer(m_socket, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(sql))
            qFatal("fixture SQL failed: %s: %s", qPrintable(sql),
                   qPrintable(query.lastError().text()));
    });
}

QVariantList ScriptFixture::serverValues(const QString& sql) const
{
    QVariantList values;
    withServer(m_socket, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(sql))
            qFatal("fixture SQL failed: %s: %s", qPrintable(sql),
                   qPrintable(query.lastError().text()));
        while (query.next())
            values << query.value(0);
    });
    return values;
}

QString ScriptFixture::serverSql(const TableLayout& layout, const QString& sql) const
{
    return QString(sql).replace(u"Table1"_s, u"\"%1\".\"%2\""_s.arg(m_schema, layout.caption));
}

QVariantList ScriptFixture::numberedRow(const TableLayout& layout, int k, const QString& prefix)
{
    QVariantList row;
    for (const QString& column : layout.columns) {
        if (!layout.isTextColumn(column))
            row << 0;
        else if (layout.lineColumns.contains(column))
            row << (prefix.isEmpty() ? column : prefix) + u' ' + QString::number(k);
        else
            row << u"note %1"_s.arg(k);
    }
    return row;
}

void ScriptFixture::create(const TableLayout& layout, const QList<QVariantList>& rows) const
{
    auto table = ScriptTable::create(dir(), layout);
    table->writeTransaction([&] {
        for (const QVariantList& row : rows)
            table->insertRow(row);
    });
}

void ScriptFixture::createNumbered(const TableLayout& layout, int count,
                                   const QString& prefix) const
{
    QList<QVariantList> rows;
    for (int k = 1; k <= count; ++k)
        rows << numberedRow(layout, k, prefix);
    create(layout, rows);
}

void ScriptFixture::createFullScript() const
{
    createNumbered(TableLayout::basic(), 22, u"basic"_s);
    createNumbered(TableLayout::control(), 100, u"control"_s);
    createNumbered(TableLayout::doubles(), 60, u"double"_s);
    createNumbered(TableLayout::special(), 6);
}

void ScriptFixture::writeBytes(const TableLayout& layout, const QByteArray& bytes) const
{
    QFile file(path(layout));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("fixture cannot write %s", qPrintable(path(layout)));
}

void ScriptFixture::execute(const TableLayout& layout, const QString& sql) const
{
    if (m_store == Store::Server)
        return serverExecute(serverSql(layout, sql));
    withConnection(path(layout), [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(sql))
            qFatal("fixture SQL failed: %s: %s", qPrintable(sql),
                   qPrintable(query.lastError().text()));
    });
}

QVariantList ScriptFixture::column(const TableLayout& layout, const QString& name) const
{
    QVariantList values;
    const QString sql = u"SELECT %1 FROM Table1 ORDER BY \"ID\""_s.arg(ScriptTable::quoted(name));
    const auto read = [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(m_store == Store::Server ? serverSql(layout, sql) : sql))
            qFatal("fixture read failed: %s", qPrintable(query.lastError().text()));
        while (query.next())
            values << ScriptTable::fieldValue(query.value(0));
    };
    if (m_store == Store::Server)
        withServer(m_socket, read);
    else
        withConnection(path(layout), read);
    return values;
}

QString ScriptFixture::integrity(const TableLayout& layout) const
{
    QString verdict;
    withConnection(path(layout), [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (query.exec(u"PRAGMA integrity_check"_s) && query.next())
            verdict = query.value(0).toString();
    });
    return verdict;
}

QByteArray ScriptFixture::fingerprint(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink())
        return info.exists() ? QByteArray("not a file") : QByteArray("absent");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "unreadable";
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

bool ScriptFixture::spoilATablePage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    constexpr qint64 page = 4096;
    for (qint64 at = (file.size() / page / 2) * page; at + page <= file.size(); at += page) {
        file.seek(at);
        char type = 0;
        if (file.getChar(&type) && type == 0x0D) { // a leaf page of a table
            file.seek(at + 3);                     // its number of cells, now far too many
            return file.write("\xFF\xFF", 2) == 2;
        }
    }
    return false;
}
