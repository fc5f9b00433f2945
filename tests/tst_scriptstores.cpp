// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What the runner does with its script, the same whether the script is four files in a folder
// or four tables on a server: every case runs once for each.
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/SpecialCases.h"
#include "tests/support/Session.h"

#include <QProcess>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Store = ScriptFixture::Store;

class TestScriptStores : public QObject {
    Q_OBJECT

    // The name a store's messages give a table: the file's, or the server table's.
    static QString named(Store store, const TableLayout& layout)
    {
        return store == Store::Server ? layout.caption : layout.fileName;
    }

private Q_SLOTS:
    void fullScriptLoadsEveryLine_data() { ScriptFixture::addStores(); }
    void fullScriptLoadsEveryLine()
    {
        QFETCH(Store, store);
        SKIP_WITHOUT_SERVER(store);
        Session s(store);
        s.fx.createFullScript();
        s.open().LoadData();
        QCOMPARE(s.stage.transcript, QStringList());
        QCOMPARE(s.state().BasicLines[22], u"basic 22"_s);
        QCOMPARE(s.state().ControlLines[100], u"control 100"_s);
        QCOMPARE(s.state().DoubleLines[60].second, u"double 60"_s);
    }

    void loadFaultsNameTableRowAndField_data()
    {
        QTest::addColumn<Store>("store");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("details");
        for (const Store store : {Store::Folder, Store::Server}) {
            const char* where = store == Store::Server ? "server" : "folder";
            QTest::addRow("%s: null line", where)
                << store << u"null"_s
                << named(store, TableLayout::basic()) +
                       u", row 5, field \"String\": the field is empty (null)"_s;
            QTest::addRow("%s: too many rows", where)
                << store << u"overfull"_s
                << named(store, TableLayout::control()) +
                       u", row 101: there are more rows than the 100"_s;
            QTest::addRow("%s: no rows", where)
                << store << u"empty"_s
                << named(store, TableLayout::doubles()) + u": the table has no rows"_s;
        }
    }
    void loadFaultsNameTableRowAndField()
    {
        QFETCH(Store, store);
        QFETCH(QString, fault);
        QFETCH(QString, details);
        SKIP_WITHOUT_SERVER(store);
        Session s(store);
        s.fx.createNumbered(TableLayout::basic(), 22, u"basic"_s);
        s.fx.createNumbered(TableLayout::doubles(), fault == u"empty"_s ? 0 : 60);
        s.fx.createNumbered(TableLayout::control(), fault == u"overfull"_s ? 101 : 100);
        s.fx.createNumbered(TableLayout::special(), 1);
        if (fault == u"null"_s)
            s.fx.execute(TableLayout::basic(),
                         u"UPDATE Table1 SET \"String\" = NULL WHERE \"ID\" = 5"_s);
        s.open().LoadData();
        QCOMPARE(s.stage.transcript.size(), 1);
        QVERIFY2(s.stage.transcript.first().endsWith(u"Error during LoadData."_s),
                 qPrintable(s.stage.transcript.first()));
        QCOMPARE(s.stage.lastDetails.size(), 1);
        QVERIFY2(s.stage.lastDetails.first().startsWith(details),
                 qPrintable(s.stage.lastDetails.first()));
        // What loaded before the fault stays loaded.
        QCOMPARE(s.state().BasicLines[4], u"basic 4"_s);
    }

    void confirmationsCountInPlaceMostConfirmedFirst_data() { ScriptFixture::addStores(); }
    void confirmationsCountInPlaceMostConfirmedFirst()
    {
        QFETCH(Store, store);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createNumbered(TableLayout::special(), 3);
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET \"Yes\" = CASE \"ID\" WHEN 1 THEN "
                                           u"1 WHEN 2 THEN 5 ELSE NULL END"_s);
        SpecialCases cases(ScriptTable::open(fx.dir(), TableLayout::special()));
        QStringList order;
        for (; !cases.atEnd(); cases.moveNext()) {
            order << cases.current()->text(2);
            cases.countConfirmation();
        }
        QCOMPARE(order, (QStringList{u"Primary Question (Y/N) 2"_s, u"Primary Question (Y/N) 1"_s,
                                     u"Primary Question (Y/N) 3"_s}));
        // A count never given stays so: nothing plus one is nothing.
        const QVariantList counts = fx.column(TableLayout::special(), u"Yes"_s);
        QCOMPARE(counts.size(), 3);
        QCOMPARE(counts.at(0), QVariant(2));
        QCOMPARE(counts.at(1), QVariant(6));
        QVERIFY(counts.at(2).isNull());
    }

    void countsFromProcessesRacingAreAllKept_data() { ScriptFixture::addStores(); }
    void countsFromProcessesRacingAreAllKept()
    {
        QFETCH(Store, store);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createNumbered(TableLayout::special(), 1);
        constexpr int each = 100;
        QList<QProcess*> counters;
        for (int i = 0; i < 3; ++i) {
            auto* counter = new QProcess(this);
            counter->start(QStringLiteral(SPECIAL_COUNTER), {fx.dir(), QString::number(each)});
            counters << counter;
        }
        for (QProcess* counter : counters) {
            QVERIFY(counter->waitForFinished(120000));
            QCOMPARE(counter->exitCode(), 0);
            delete counter;
        }
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s), QVariantList{3 * each});
    }
};

QTEST_GUILESS_MAIN(TestScriptStores)
#include "tst_scriptstores.moc"
