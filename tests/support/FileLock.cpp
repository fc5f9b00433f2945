// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/FileLock.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

FileLock::FileLock(const QString& path, Kind kind)
    : m_name(u"lock-"_s + path)
{
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

FileLock::~FileLock()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        QSqlQuery(db).exec(u"ROLLBACK"_s);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}
