// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/HostileFiles.h"

#include "script/TableLayout.h"
#include "tests/support/ScriptFixture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {
const TableLayout& basic()
{
    return TableLayout::basic();
}
const QString key = u"ID INTEGER PRIMARY KEY AUTOINCREMENT"_s;

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

QByteArray validFileBytes()
{
    ScriptFixture donor;
    donor.createNumbered(basic(), 22);
    QFile file(donor.path(basic()));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the donor file");
    return file.readAll();
}

HostileFile bytes(const QString& name, const QByteArray& content)
{
    return {name, [content](const ScriptFixture& fx) { fx.writeBytes(basic(), content); }, false};
}

HostileFile schema(const QString& name, const QStringList& statements, bool opens = false)
{
    return {name,
            [statements](const ScriptFixture& fx) {
                for (const QString& statement : statements)
                    fx.execute(basic(), statement);
            },
            opens};
}

HostileFile rows(const QString& name, const QString& update)
{
    return {name,
            [update](const ScriptFixture& fx) {
                fx.createNumbered(basic(), 22);
                fx.execute(basic(), update);
            },
            true};
}

QString table(const QString& columns)
{
    return u"CREATE TABLE Table1 (%1)"_s.arg(columns);
}
} // namespace

QList<HostileFile> HostileFiles::all()
{
    QByteArray jet(4096, '\0');
    jet.replace(0, 20, QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20));
    QByteArray ace = jet;
    ace.replace(4, 15, "Standard ACE DB");
    const QByteArray valid = validFileBytes();
    QByteArray headerThenNoise = QByteArray("SQLite format 3\0", 16) + randomBytes(8192, 7);
    QByteArray corruptPages = valid;
    corruptPages.replace(4096, 512, randomBytes(512, 11)); // the header of the second page

    return {
        bytes(u"zero bytes"_s, {}),
        bytes(u"truncated"_s, valid.left(1000)),
        bytes(u"truncated at a page"_s, valid.left(4096)),
        bytes(u"random bytes"_s, randomBytes(4096, 3)),
        bytes(u"sqlite header then noise"_s, headerThenNoise),
        bytes(u"corrupt pages"_s, corruptPages),
        bytes(u"access jet"_s, jet),
        bytes(u"access ace"_s, ace),
        bytes(u"text file"_s, "Purpose,String\r\nhello,world\r\n"),
        bytes(u"one byte"_s, "S"),
        schema(u"no Table1"_s, {u"CREATE TABLE Other (ID INTEGER PRIMARY KEY)"_s}),
        schema(u"empty database"_s, {u"PRAGMA user_version = 1"_s}),
        schema(u"Table1 as a view"_s,
               {u"CREATE TABLE T (ID INTEGER PRIMARY KEY, Purpose TEXT, String TEXT)"_s,
                u"CREATE VIEW Table1 AS SELECT * FROM T"_s}),
        schema(u"missing column"_s, {table(key + u", Purpose TEXT"_s)}),
        schema(u"extra column"_s, {table(key + u", Purpose TEXT, String TEXT, Extra TEXT"_s)}),
        schema(u"renamed column"_s, {table(key + u", Purpose TEXT, Line TEXT"_s)}),
        schema(u"swapped columns"_s, {table(key + u", String TEXT, Purpose TEXT"_s)}),
        schema(u"key not primary"_s, {table(u"ID INTEGER, Purpose TEXT, String TEXT"_s)}),
        schema(u"trigger"_s,
               {table(key + u", Purpose TEXT, String TEXT"_s),
                u"CREATE TRIGGER wipe AFTER UPDATE ON Table1 BEGIN DELETE FROM Table1; END"_s}),
        schema(u"empty Table1"_s, {table(key + u", Purpose TEXT, String TEXT"_s)}, true),
        schema(u"wrong types"_s,
               {table(key + u", Purpose INTEGER, String REAL"_s),
                u"INSERT INTO Table1 (Purpose, String) VALUES (1, 2.5), (3, 4)"_s},
               true),
        rows(u"a megabyte of text"_s,
             u"UPDATE Table1 SET String = printf('%.*c', 1048576, 'x') WHERE ID = 3"_s),
        rows(u"invalid utf-8"_s, u"UPDATE Table1 SET String = CAST(x'fffec328a0a1' AS TEXT)"_s),
        rows(u"nul inside text"_s, u"UPDATE Table1 SET String = 'before' || char(0) || 'after'"_s),
        rows(u"blob in a text field"_s, u"UPDATE Table1 SET String = x'0001020304' WHERE ID = 2"_s),
        rows(u"nulls everywhere"_s, u"UPDATE Table1 SET Purpose = NULL, String = NULL"_s),
        rows(u"too many rows"_s,
             u"INSERT INTO Table1 (Purpose, String) VALUES ('extra', 'row 23')"_s),
        {u"stale write-ahead log"_s,
         [](const ScriptFixture& fx) {
             fx.createNumbered(basic(), 22);
             QFile wal(fx.path(basic()) + u"-wal"_s);
             if (!wal.open(QIODevice::WriteOnly))
                 qFatal("cannot write a wal file");
             wal.write(randomBytes(32768, 5));
         },
         true},
        {u"folder in its place"_s, [](const ScriptFixture& fx) { QDir().mkpath(fx.path(basic())); },
         false},
        {u"pipe in its place"_s,
         [](const ScriptFixture& fx) { ::mkfifo(qPrintable(fx.path(basic())), 0644); }, false},
        {u"device in its place"_s,
         [](const ScriptFixture& fx) { QFile::link(u"/dev/zero"_s, fx.path(basic())); }, false},
        {u"missing"_s, [](const ScriptFixture&) {}, false},
    };
}
