// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptTable.h"

#include "script/FileHead.h"
#include "script/NativePath.h"
#include "script/ScriptError.h"
#include "script/ScriptLocation.h"
#include "script/ScriptRow.h"
#include "script/ServerConnection.h"
#include "script/ServerSchema.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

// How long a writer waits for another program's lock before it gives up.
constexpr int busyTimeoutMs = 5000;

QString nextConnectionName(const QString& fileName)
{
    static QAtomicInteger<quint64> counter;
    return u"veyrath-%1-%2"_s.arg(fileName).arg(counter.fetchAndAddRelaxed(1));
}

// Tells apart the files an author is likely to put here by mistake, before SQLite sees them.
QString foreignFileReason(const QString& path)
{
    QString unreadable;
    const QByteArray head = FileHead::read(path, 100, FileHead::Opening::IfNotOpen, &unreadable);
    if (!unreadable.isEmpty())
        return u"the file cannot be read (%1)"_s.arg(unreadable);
    if (head.isEmpty())
        return u"the file is empty (0 bytes), not a script database"_s;
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return {};
    const QByteArray jet = head.mid(4, 15);
    if (jet == "Standard Jet DB" || jet == "Standard ACE DB")
        return u"this is an Access (Jet) database; convert it to the SQLite script format first "
               u"(see \"Carrying over an Access script\" in README.md)"_s;
    return u"the file is not a SQLite database"_s;
}

// Which file a path names now, so that a file replaced under an open connection is noticed.
QByteArray fileIdentity(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return QByteArray::number(quint64(status.st_dev)) + ':' +
           QByteArray::number(quint64(status.st_ino));
#else
    return QFileInfo::exists(path) ? QByteArrayLiteral("present") : QByteArray();
#endif
}

// SQLITE_BUSY and SQLITE_LOCKED are another program's lock, SQLITE_FULL a full disk, with or
// without their extended codes.
ScriptError::Kind errorKind(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (ok && (code == 5 || code == 6))
        return ScriptError::Kind::Locked;
    if (ok && code == 13)
        return ScriptError::Kind::Full;
    return ScriptError::Kind::Fault;
}

QString sqlReason(const QSqlError& error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text.isEmpty() ? u"unknown database error"_s : text;
}

} // namespace

QString ScriptTable::pathIn(const QString& dir, const TableLayout& layout)
{
    return nativePath(QDir(dir).absoluteFilePath(layout.fileName));
}

QString ScriptTable::quoted(const QString& identifier)
{
    return u'"' + QString(identifier).replace(u'"', u"\"\""_s) + u'"';
}

QVariant ScriptTable::fieldValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return value.isNull() ? QVariant(QMetaType::fromType<qlonglong>())
                              : QVariant(value.toLongLong());
    default:
        return value;
    }
}

QString ScriptTable::sqlName() const
{
    return m_schema ? m_schema->sqlName() : u"Table1"_s;
}

ScriptTable::ScriptTable(const TableLayout& layout, QString path, bool readOnly)
    : m_layout(&layout)
    , m_path(std::move(path))
    , m_name(layout.fileName)
    , m_connection(nextConnectionName(layout.fileName))
    , m_readOnly(readOnly)
{
}

ScriptTable::~ScriptTable()
{
    m_reused.reset(); // before the connection they were prepared on goes
    if (m_server)
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase ScriptTable::database() const
{
    return m_server ? m_server->database() : QSqlDatabase::database(m_connection, false);
}

void ScriptTable::fail(const QString& reason) const
{
    throw ScriptError(m_layout->fileName, reason);
}

void ScriptTable::fail(const QSqlError& error) const
{
    if (m_server)
        m_server->fail(m_name, error);
    if (const QString gone = goneReason(); !gone.isEmpty())
        fail(gone);
    throw ScriptError(m_layout->fileName, sqlReason(error), 0, {}, errorKind(error));
}

QString ScriptTable::goneReason() const
{
    if (m_server || m_identity.isEmpty())
        return {};
    const QByteArray now = fileIdentity(m_path);
    if (now.isEmpty())
        return u"the file was deleted while the program had it open"_s;
    if (now != m_identity)
        return u"the file was replaced by another while the program had it open"_s;
    return {};
}

void ScriptTable::checkStillThere() const
{
    if (const QString gone = goneReason(); !gone.isEmpty())
        fail(gone);
}

void ScriptTable::letGo()
{
    if (m_server)
        return;
    QSqlDatabase db = database();
    if (!db.isOpen())
        return;
    // The log is found by the file's name, which now names another file; emptied, it holds
    // nothing for that file's readers to take as theirs. A failure leaves what SQLite's own
    // close does, which keeps the log for the moved file.
    QSqlQuery(db).exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
    db.close();
}

void ScriptTable::setBusyTimeout(int milliseconds)
{
    if (!m_server)
        exec(u"PRAGMA busy_timeout = %1"_s.arg(milliseconds));
    // A server's 0 would wait without end.
    m_lockTimeoutMs = m_server ? std::max(1, milliseconds) : milliseconds;
}

void ScriptTable::keepCallerResponsive()
{
    if (m_server)
        m_server->keepCallerResponsive();
}

ServerNotices* ScriptTable::listen()
{
    if (!m_server)
        return nullptr;
    m_server->listen(m_name);
    return &m_server->notices();
}

qint64 ScriptTable::announcements() const
{
    return m_server ? m_server->announcements(m_name) : 0;
}

std::unique_ptr<ScriptTable> ScriptTable::open(const QString& dir, const TableLayout& layout,
                                               Integrity integrity)
{
    if (ScriptLocation::isServer(dir))
        return onServer(ScriptLocation::parse(dir), layout, false);
    const QString path = pathIn(dir, layout);
    const QFileInfo info(path);
    if (!info.exists())
        throw ScriptError(layout.fileName, u"the file was not found in %1"_s.arg(nativePath(dir)));
    if (!info.isFile())
        throw ScriptError(layout.fileName, u"this is not a file"_s);
    if (const QString reason = foreignFileReason(path); !reason.isEmpty())
        throw ScriptError(layout.fileName, reason);

    // In a folder that cannot be written SQLite cannot make the files a write-ahead log
    // keeps beside the script, and nobody can change the script there either: read it as
    // it stands.
    const bool folderWritable = QFileInfo(info.absolutePath()).isWritable();
    std::unique_ptr<ScriptTable> table(
        new ScriptTable(layout, path, !info.isWritable() || !folderWritable));
    table->connect(folderWritable ? Access::ReadWrite : Access::ReadAsItStands);
    table->checkLayout();
    // Reading a small file costs nothing worth putting off.
    constexpr qint64 largeFile = qint64(1024) * 1024;
    if (integrity == Integrity::Now || info.size() < largeFile)
        table->checkIntegrity();
    return table;
}

std::unique_ptr<ScriptTable> ScriptTable::create(const QString& dir, const TableLayout& layout)
{
    if (ScriptLocation::isServer(dir))
        return onServer(ScriptLocation::parse(dir), layout, true);
    const QString path = pathIn(dir, layout);
    if (QFileInfo::exists(path))
        throw ScriptError(layout.fileName, u"the file already exists in %1; it was left as it "
                                           u"is"_s.arg(nativePath(dir)));
    std::unique_ptr<ScriptTable> table(new ScriptTable(layout, path, false));
    table->connect(Access::Create);

    QStringList fields{u"ID INTEGER PRIMARY KEY AUTOINCREMENT"_s};
    for (const QString& column : layout.columns)
        fields << quoted(column) + (layout.isTextColumn(column) ? u" TEXT DEFAULT ''"_s
                                                                : u" INTEGER DEFAULT 0"_s);
    table->exec(u"PRAGMA journal_mode=WAL"_s);
    table->writeTransaction([&] {
        table->exec(u"CREATE TABLE Table1 (%1)"_s.arg(fields.join(u", "_s)));
        // The runner reads the special cases most-confirmed first, and the editor sorts them
        // the same way; an index keeps that fast on large tables.
        if (layout.columns.contains(TableLayout::countColumn()))
            table->exec(u"CREATE INDEX Table1_Yes ON Table1 (%1 DESC, ID)"_s.arg(
                quoted(TableLayout::countColumn())));
    });
    return table;
}

void ScriptTable::connect(Access access)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connection);
    QUrl url = QUrl::fromLocalFile(QFileInfo(m_path).absoluteFilePath());
    url.setQuery(access == Access::Create           ? u"mode=rwc"_s
                 : access == Access::ReadAsItStands ? u"mode=ro&immutable=1"_s
                                                    : u"mode=rw"_s);
    db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    db.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1"_s.arg(busyTimeoutMs));
    if (!db.open())
        fail(u"the database cannot be opened (%1)"_s.arg(sqlReason(db.lastError())));
    m_identity = fileIdentity(m_path);
    // A script file is data, never code: functions named in its schema must not run.
    exec(u"PRAGMA trusted_schema=OFF"_s);
}

void ScriptTable::checkIntegrity() const
{
    if (m_server)
        return; // the server looks after its own pages
    // A damaged file is told before it is used, by name, rather than halfway through a
    // conversation or an edit.
    if (!m_integrityKnown) {
        QSqlQuery check = exec(u"PRAGMA quick_check(1)"_s);
        const QString verdict = check.next() ? check.value(0).toString() : QString();
        m_integrityKnown = true;
        if (verdict != u"ok"_s)
            m_damage = u"the file is damaged (%1)"_s.arg(verdict);
    }
    if (!m_damage.isEmpty())
        fail(m_damage);
}

QSqlQuery ScriptTable::exec(const QString& sql, const QVariantList& bindings) const
{
    if (m_server) {
        m_server->setLockTimeout(m_name, m_lockTimeoutMs);
        return m_server->exec(m_name, sql, bindings);
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        fail(query.lastError());
    for (const QVariant& value : bindings)
        query.addBindValue(value);
    if (!query.exec())
        fail(query.lastError());
    return query;
}

QSqlQuery& ScriptTable::execReused(const QString& sql, const QVariantList& bindings)
{
    if (!m_reused)
        m_reused = std::make_unique<QHash<QString, QSqlQuery>>();
    if (m_server) {
        (*m_reused)[sql] = m_server->exec(m_name, sql, bindings);
        return (*m_reused)[sql];
    }
    auto found = m_reused->find(sql);
    if (found == m_reused->end()) {
        QSqlQuery query(database());
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            fail(query.lastError());
        found = m_reused->insert(sql, query);
    }
    QSqlQuery& query = found.value();
    for (qsizetype i = 0; i < bindings.size(); ++i)
        query.bindValue(int(i), bindings.at(i));
    if (!query.exec())
        fail(query.lastError());
    return query;
}

void ScriptTable::writeTransaction(const std::function<void()>& work)
{
    if (m_server) {
        m_server->transaction(m_name, work);
        return;
    }
    exec(u"BEGIN IMMEDIATE"_s);
    try {
        work();
        exec(u"COMMIT"_s);
    } catch (...) {
        QSqlQuery(database()).exec(u"ROLLBACK"_s);
        throw;
    }
}

void ScriptTable::forEachRow(const QStringList& columns,
                             const std::function<void(const ScriptRow&)>& visit) const
{
    const QString key = quoted(TableLayout::keyColumn());
    QStringList selected{key};
    for (const QString& column : columns)
        selected << quoted(column);
    QSqlQuery query =
        exec(u"SELECT %1 FROM %2 ORDER BY %3"_s.arg(selected.join(u", "_s), sqlName(), key));
    int number = 0;
    while (query.next()) {
        QVariantList values;
        values.reserve(columns.size());
        for (qsizetype i = 0; i < columns.size(); ++i)
            values << fieldValue(query.value(int(i + 1)));
        visit(ScriptRow(*m_layout, columns, ++number, query.value(0).toLongLong(),
                        std::move(values), m_name));
    }
    if (query.lastError().isValid())
        fail(query.lastError());
}

qint64 ScriptTable::rowCount() const
{
    QSqlQuery query = exec(u"SELECT count(*) FROM %1"_s.arg(sqlName()));
    return query.next() ? query.value(0).toLongLong() : 0;
}

qint64 ScriptTable::insertRow(const QVariantList& values)
{
    QStringList names;
    QStringList marks;
    for (const QString& column : m_layout->columns) {
        names << quoted(column);
        marks << u"?"_s;
    }
    const QString insert = u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(sqlName(), names.join(u", "_s),
                                                                    marks.join(u", "_s));
    if (m_server) {
        QSqlQuery query = exec(insert + u" RETURNING \"ID\""_s, values);
        return query.next() ? query.value(0).toLongLong() : 0;
    }
    return exec(insert, values).lastInsertId().toLongLong();
}
