// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptTable.h"

#include "script/NativePath.h"
#include "script/ScriptError.h"
#include "script/ScriptRow.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return u"the file cannot be read (%1)"_s.arg(file.errorString());
    const QByteArray head = file.read(100);
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

// SQLITE_BUSY and SQLITE_LOCKED, with or without their extended codes.
bool isLockError(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == 5 || code == 6);
}

// The affinity SQLite gives a column declared `type`, by its own rules in their order.
enum class Affinity { Integer, Text, Blob, Real, Numeric };
Affinity affinityOf(const QString& type)
{
    const QString t = type.toUpper();
    if (t.contains(u"INT"_s))
        return Affinity::Integer;
    if (t.contains(u"CHAR"_s) || t.contains(u"CLOB"_s) || t.contains(u"TEXT"_s))
        return Affinity::Text;
    if (t.isEmpty() || t.contains(u"BLOB"_s))
        return Affinity::Blob;
    if (t.contains(u"REAL"_s) || t.contains(u"FLOA"_s) || t.contains(u"DOUB"_s))
        return Affinity::Real;
    return Affinity::Numeric;
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

ScriptTable::ScriptTable(const TableLayout& layout, QString path, bool readOnly)
    : m_layout(&layout)
    , m_path(std::move(path))
    , m_connection(nextConnectionName(layout.fileName))
    , m_readOnly(readOnly)
{
}

ScriptTable::~ScriptTable()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase ScriptTable::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

void ScriptTable::fail(const QString& reason) const
{
    throw ScriptError(m_layout->fileName, reason);
}

void ScriptTable::fail(const QSqlError& error) const
{
    if (const QString gone = goneReason(); !gone.isEmpty())
        fail(gone);
    throw ScriptError(m_layout->fileName, sqlReason(error), 0, {},
                      isLockError(error) ? ScriptError::Kind::Locked : ScriptError::Kind::Fault);
}

QString ScriptTable::goneReason() const
{
    if (m_identity.isEmpty())
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

void ScriptTable::setBusyTimeout(int milliseconds)
{
    exec(u"PRAGMA busy_timeout = %1"_s.arg(milliseconds));
}

std::unique_ptr<ScriptTable> ScriptTable::open(const QString& dir, const TableLayout& layout,
                                               Integrity integrity)
{
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

void ScriptTable::checkLayout() const
{
    QSqlQuery kind = exec(u"SELECT type FROM sqlite_master WHERE name = 'Table1' COLLATE NOCASE"_s);
    if (!kind.next())
        fail(u"there is no table named Table1 in it"_s);
    if (kind.value(0).toString() != u"table"_s)
        fail(u"Table1 is a %1, not a table"_s.arg(kind.value(0).toString()));
    kind.finish();

    // A trigger would run its own statements whenever a program saves a row; script files
    // hold data only, so one found here is refused rather than obeyed.
    QSqlQuery triggers = exec(u"SELECT name FROM sqlite_master WHERE type = 'trigger'"_s);
    if (triggers.next())
        fail(u"the file holds the trigger \"%1\"; script files hold no triggers, so remove it "
             u"(DROP TRIGGER) before use"_s.arg(triggers.value(0).toString()));
    triggers.finish();

    QSqlQuery info = exec(u"PRAGMA table_info(Table1)"_s);
    QStringList found;
    QStringList types;
    bool keyIsPrimary = false;
    while (info.next()) {
        found << info.value(1).toString();
        types << info.value(2).toString();
        if (found.size() == 1)
            keyIsPrimary = info.value(5).toInt() == 1;
    }
    const QStringList expected = QStringList{TableLayout::keyColumn()} + m_layout->columns;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (i >= found.size())
            fail(u"Table1 lacks the column \"%1\" at position %2"_s.arg(expected.at(i)).arg(i));
        if (found.at(i) != expected.at(i))
            fail(u"Table1 has the column \"%1\" at position %2 where \"%3\" belongs"_s
                     .arg(found.at(i))
                     .arg(i)
                     .arg(expected.at(i)));
    }
    if (found.size() > expected.size())
        fail(u"Table1 has the unexpected column \"%1\" at position %2"_s
                 .arg(found.at(expected.size()))
                 .arg(expected.size()));
    if (!keyIsPrimary)
        fail(u"the column ID of Table1 is not its primary key"_s);

    // A count column that keeps what it is given as text (or as a fraction) takes counts the
    // runner cannot add to, and sorts "9" above "10".
    const qsizetype count = expected.indexOf(TableLayout::countColumn());
    if (count < 0)
        return;
    const Affinity affinity = affinityOf(types.at(count));
    if (affinity == Affinity::Text || affinity == Affinity::Real)
        fail(u"the column \"%1\" of Table1 is declared %2, so it keeps counts as %3; it must "
             u"be declared INTEGER (see \"Mending a count column\" in README.md)"_s.arg(
                 TableLayout::countColumn(), types.at(count),
                 affinity == Affinity::Text
                     ? u"text, which the runner cannot add to and which sort \"9\" above \"10\""_s
                     : u"fractions, which the runner cannot add to"_s));
}

QSqlQuery ScriptTable::exec(const QString& sql, const QVariantList& bindings) const
{
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

void ScriptTable::writeTransaction(const std::function<void()>& work)
{
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
    QStringList selected{TableLayout::keyColumn()};
    for (const QString& column : columns)
        selected << quoted(column);
    QSqlQuery query = exec(u"SELECT %1 FROM Table1 ORDER BY ID"_s.arg(selected.join(u", "_s)));
    int number = 0;
    while (query.next()) {
        QVariantList values;
        values.reserve(columns.size());
        for (qsizetype i = 0; i < columns.size(); ++i)
            values << query.value(int(i + 1));
        visit(ScriptRow(*m_layout, columns, ++number, query.value(0).toLongLong(),
                        std::move(values)));
    }
    if (query.lastError().isValid())
        fail(query.lastError());
}

qint64 ScriptTable::rowCount() const
{
    QSqlQuery query = exec(u"SELECT count(*) FROM Table1"_s);
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
    QSqlQuery query =
        exec(u"INSERT INTO Table1 (%1) VALUES (%2)"_s.arg(names.join(u", "_s), marks.join(u", "_s)),
             values);
    return query.lastInsertId().toLongLong();
}
