// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptError.h"
#include "script/ScriptRow.h"
#include "script/ScriptTable.h"
#include "tests/support/ScriptFixture.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestScriptTable : public QObject {
    Q_OBJECT

    static QString openFailure(const ScriptFixture& fx, const TableLayout& layout)
    {
        try {
            ScriptTable::open(fx.dir(), layout);
        } catch (const ScriptError& error) {
            return error.message();
        }
        return {};
    }

private Q_SLOTS:
    void fileWithoutWriteAheadLogOpensAndKeepsItsMode()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 1);
        fx.execute(TableLayout::special(), u"PRAGMA journal_mode=DELETE"_s);
        auto table = ScriptTable::open(fx.dir(), TableLayout::special());
        QSqlQuery mode = table->exec(u"PRAGMA journal_mode"_s);
        QVERIFY(mode.next());
        QCOMPARE(mode.value(0).toString(), u"delete"_s);
        mode.finish();
        table->writeTransaction([&] { table->exec(u"UPDATE Table1 SET Yes = Yes + 1"_s); });
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).constFirst().toInt(), 1);
    }

    void createdFileHasTheLayoutAndDefaults()
    {
        ScriptFixture fx;
        fx.create(TableLayout::special());
        fx.execute(TableLayout::special(), u"INSERT INTO Table1 DEFAULT VALUES"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s), QVariantList{0});
        QCOMPARE(fx.column(TableLayout::special(), u"4th Question (Input)"_s), QVariantList{u""_s});

        auto table = ScriptTable::open(fx.dir(), TableLayout::special());
        QSqlQuery info = table->exec(u"PRAGMA table_info(Table1)"_s);
        QStringList names;
        while (info.next())
            names << info.value(1).toString();
        QCOMPARE(names, QStringList{u"ID"_s} + TableLayout::special().columns);
        QSqlQuery mode = table->exec(u"PRAGMA journal_mode"_s);
        QVERIFY(mode.next());
        QCOMPARE(mode.value(0).toString(), u"wal"_s);
    }

    void doubleLayoutKeepsItsTwoBlanks()
    {
        QCOMPARE(TableLayout::doubles().columns.at(1), u"String  #1"_s);
        QCOMPARE(TableLayout::doubles().columns.at(2), u"String #2"_s);
    }

    void createRefusesToReplaceAFile()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::basic(), 3);
        QVERIFY_THROWS_EXCEPTION(ScriptError, ScriptTable::create(fx.dir(), TableLayout::basic()));
        QCOMPARE(fx.column(TableLayout::basic(), u"String"_s).size(), 3);
    }

    void missingFileIsReportedAndNeverCreated()
    {
        ScriptFixture fx;
        const QString message = openFailure(fx, TableLayout::control());
        QVERIFY2(message.startsWith(u"control.mdb: the file was not found"_s), qPrintable(message));
        QVERIFY(!QFileInfo::exists(fx.path(TableLayout::control())));
    }

    void foreignFilesAreNamed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QByteArray jet(2048, '\0');
        jet.replace(0, 20, QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20));
        QByteArray ace = jet;
        ace.replace(4, 15, "Standard ACE DB");
        QTest::newRow("empty") << QByteArray() << u"is empty (0 bytes)"_s;
        QTest::newRow("jet") << jet << u"Access (Jet) database; convert it"_s;
        QTest::newRow("ace") << ace << u"Access (Jet) database; convert it"_s;
        QTest::newRow("text") << QByteArray("Purpose,String\n") << u"not a SQLite database"_s;
    }
    void foreignFilesAreNamed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        ScriptFixture fx;
        fx.writeBytes(TableLayout::basic(), bytes);
        const QString message = openFailure(fx, TableLayout::basic());
        QVERIFY2(message.startsWith(u"basic.mdb: "_s) && message.contains(reason),
                 qPrintable(message));
    }

    void wrongLayoutsAreNamed_data()
    {
        QTest::addColumn<QString>("schema");
        QTest::addColumn<QString>("reason");
        const QString key = u"ID INTEGER PRIMARY KEY AUTOINCREMENT"_s;
        QTest::newRow("no Table1") << u"CREATE TABLE Other (ID INTEGER PRIMARY KEY)"_s
                                   << u"there is no table named Table1"_s;
        QTest::newRow("view") << u"CREATE TABLE T (ID INTEGER PRIMARY KEY, Purpose, String)|"
                                 u"CREATE VIEW Table1 AS SELECT * FROM T"_s
                              << u"Table1 is a view"_s;
        QTest::newRow("renamed") << u"CREATE TABLE Table1 (%1, Purpose TEXT, Line TEXT)"_s.arg(key)
                                 << u"column \"Line\" at position 2 where \"String\" belongs"_s;
        QTest::newRow("swapped") << u"CREATE TABLE Table1 (%1, String TEXT, Purpose TEXT)"_s.arg(
                                        key)
                                 << u"column \"String\" at position 1 where \"Purpose\""_s;
        QTest::newRow("missing") << u"CREATE TABLE Table1 (%1, Purpose TEXT)"_s.arg(key)
                                 << u"lacks the column \"String\" at position 2"_s;
        QTest::newRow("extra") << u"CREATE TABLE Table1 (%1, Purpose TEXT, String TEXT, X)"_s.arg(
                                      key)
                               << u"unexpected column \"X\" at position 3"_s;
        QTest::newRow("trigger")
            << u"CREATE TABLE Table1 (%1, Purpose TEXT, String TEXT)|CREATE TRIGGER t AFTER UPDATE "
               u"ON Table1 BEGIN DELETE FROM Table1; END"_s.arg(key)
            << u"holds the trigger \"t\""_s;
        QTest::newRow("no key") << u"CREATE TABLE Table1 (ID INTEGER, Purpose TEXT, String TEXT)"_s
                                << u"ID of Table1 is not its primary key"_s;
    }
    void wrongLayoutsAreNamed()
    {
        QFETCH(QString, schema);
        QFETCH(QString, reason);
        ScriptFixture fx;
        for (const QString& statement : schema.split(u'|'))
            fx.execute(TableLayout::basic(), statement);
        const QString message = openFailure(fx, TableLayout::basic());
        QVERIFY2(message.startsWith(u"basic.mdb: "_s) && message.contains(reason),
                 qPrintable(message));
    }

    void rowsComeInIdOrder()
    {
        ScriptFixture fx;
        fx.create(TableLayout::control());
        fx.execute(TableLayout::control(),
                   u"INSERT INTO Table1 (ID, Description, String) VALUES (9, 'd', 'third'), "
                   u"(2, 'd', 'first'), (5, 'd', 'second')"_s);
        auto table = ScriptTable::open(fx.dir(), TableLayout::control());
        QStringList lines;
        QList<int> numbers;
        table->forEachRow({u"String"_s}, [&](const ScriptRow& row) {
            lines << row.text(0);
            numbers << row.number();
        });
        QCOMPARE(lines, (QStringList{u"first"_s, u"second"_s, u"third"_s}));
        QCOMPARE(numbers, (QList<int>{1, 2, 3}));
    }

    void nullTextNamesFileRowAndField()
    {
        ScriptFixture fx;
        fx.create(TableLayout::doubles(),
                  {{u"a"_s, u"one"_s, u"two"_s}, {u"b"_s, u"x"_s, QVariant()}});
        auto table = ScriptTable::open(fx.dir(), TableLayout::doubles());
        QString message;
        try {
            table->forEachRow(TableLayout::doubles().lineColumns, [&](const ScriptRow& row) {
                row.text(0);
                row.text(1);
            });
        } catch (const ScriptError& error) {
            message = error.message();
        }
        QVERIFY2(message.startsWith(u"double.mdb, row 2, field \"String #2\": "_s),
                 qPrintable(message));
    }

    void failedWriteLeavesNothingBehind()
    {
        ScriptFixture fx;
        fx.create(TableLayout::basic());
        auto table = ScriptTable::open(fx.dir(), TableLayout::basic());
        QVERIFY_THROWS_EXCEPTION(ScriptError, table->writeTransaction([&] {
            table->insertRow({u"p"_s, u"kept?"_s});
            table->exec(u"INSERT INTO NoSuchTable VALUES (1)"_s);
        }));
        QCOMPARE(table->rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestScriptTable)
#include "tst_scripttable.moc"
