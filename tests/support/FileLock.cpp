// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/FileLock.h"

#include "tests/support/ScriptFixture.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

FileLock::FileLock(const QString& path, Kind kind)
{
    lockFile(path, kind);
}

void FileLock::lockFile(const QString& path, Kind kind)
{
    m_name = u"lock-"_s + path;
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
    db.setDatabaseName(path);
    if (!db.open())
        qFatal("cannot open %s to lock it", qPrintable(path));
    QSqlQuery query(db);
    if (kind == Kind::Exclusive && !query.exec(u"PRAGMA locking_mode = EXCLUSIVE"_s))
        qFatal("cannot ask for exclusive locking: %s", qPrintable(query.lastError().text()));
    if (!query.exec(kind == Kind::Exclusive ? u"BEGIN EXCLUSIVE"_s : u"BEGIN IMMEDIATE"_s))
        qFatal("cannot lock %s: %s", qPrintable(path), qPrintable(query.lastError().text()));
}

FileLock::FileLock(const ScriptFixture& fx, const TableLayout& layout, Kind kind)
{
    if (fx.store() == ScriptFixture::Store::Folder) {
        lockFile(fx.path(layout), kind);
        return;
    }
    m_name = u"lock-%1-%2"_s.arg(fx.schema(), layout.caption);
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, m_name);
    db.setHostName(fx.socket());
    db.setUserName(u"postgres"_s);
    db.setDatabaseName(u"postgres"_s);
    if (!db.open())
        qFatal("cannot reach the test server to lock %s", qPrintable(layout.caption));
    // EXCLUSIVE lets others read but not write, as a write transaction on a file does; ACCESS
    // EXCLUSIVE holds off readers too.
    QSqlQuery query(db);
    if (!query.exec(u"BEGIN"_s) ||
        !query.exec(u"LOCK TABLE \"%1\".\"%2\" IN %3 MODE"_s.arg(
            fx.schema(), layout.caption,
            kind == Kind::Exclusive ? u"ACCESS EXCLUSIVE"_s : u"EXCLUSIVE"_s)))
        qFatal("cannot lock %s: %s", qPrintable(layout.caption),
               qPrintable(query.lastError().text()));
}

FileLock::~FileLock()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        QSqlQuery(db).exec(u"ROLLBACK"_s);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}
