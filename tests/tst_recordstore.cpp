// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/RecordStore.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "tests/support/FileLock.h"
#include "tests/support/ScriptFixture.h"

#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestRecordStore : public QObject {
    Q_OBJECT

    static const TableLayout& special() { return TableLayout::special(); }

private Q_SLOTS:
    // Each store's own statements, to the same effect.
    void idsComeInTableOrderOrMostConfirmedFirst_data() { ScriptFixture::addStores(); }
    void idsComeInTableOrderOrMostConfirmedFirst()
    {
        QFETCH(ScriptFixture::Store, store);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createNumbered(special(), 4);
        fx.execute(special(), u"UPDATE Table1 SET \"Yes\" = 5 WHERE \"ID\" = 3"_s);
        fx.execute(special(), u"UPDATE Table1 SET \"Yes\" = 5 WHERE \"ID\" = 2"_s);
        fx.execute(special(), u"UPDATE Table1 SET \"Yes\" = 9 WHERE \"ID\" = 4"_s);
        fx.execute(special(), u"UPDATE Table1 SET \"Yes\" = NULL WHERE \"ID\" = 1"_s);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore records(*table);
        QCOMPARE(records.ids(RecordStore::Order::ById), (QList<qint64>{1, 2, 3, 4}));
        QCOMPARE(records.ids(RecordStore::Order::ByCountDescending), (QList<qint64>{4, 2, 3, 1}));
        QCOMPARE(records.largestCount(), 9);
    }

    void readsRowsInBatchesAndSkipsVanishedOnes()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::basic(), RecordStore::readBatch + 50, u"line"_s);
        auto table = ScriptTable::open(fx.dir(), TableLayout::basic());
        RecordStore store(*table);
        QList<qint64> wanted = store.ids(RecordStore::Order::ById);
        wanted << 100000;
        const auto rows = store.read(wanted);
        QCOMPARE(rows.size(), RecordStore::readBatch + 50);
        QCOMPARE(rows.value(RecordStore::readBatch + 1),
                 (QVariantList{u"note %1"_s.arg(RecordStore::readBatch + 1),
                               u"line %1"_s.arg(RecordStore::readBatch + 1)}));
        QVERIFY(!store.read(100000).has_value());
    }

    void writeKeepsWhatOthersChangedAndOnlyThat_data()
    {
        QTest::addColumn<ScriptFixture::Store>("store");
        QTest::addColumn<QString>("before");       // SQL run before the editor reads the row
        QTest::addColumn<QString>("meanwhile");    // SQL another program runs before the save
        QTest::addColumn<QVariant>("description"); // in the file afterwards; null when gone
        QTest::addColumn<QVariant>("count");
        QTest::addColumn<QList<int>>("conflicts");
        const QString none;
        const QString count = u"UPDATE Table1 SET \"Yes\" = \"Yes\" + 1"_s;
        const QString description = u"UPDATE Table1 SET \"Description\" = "_s;
        for (const auto store : {ScriptFixture::Store::Folder, ScriptFixture::Store::Server}) {
            const char* where = store == ScriptFixture::Store::Server ? "server" : "folder";
            const auto row = [&](const char* name) -> QTestData& {
                return QTest::addRow("%s: %s", where, name) << store;
            };
            row("as read") << none << none << QVariant(u"mine"_s) << QVariant(0) << QList<int>{};
            row("count meanwhile")
                << none << count << QVariant(u"mine"_s) << QVariant(1) << QList<int>{};
            row("same field meanwhile") << none << description + u"'theirs'"_s
                                        << QVariant(u"theirs"_s) << QVariant(0) << QList<int>{0};
            row("same text meanwhile") << none << description + u"'mine'"_s << QVariant(u"mine"_s)
                                       << QVariant(0) << QList<int>{};
            row("null as read") << description + u"NULL"_s << none << QVariant(u"mine"_s)
                                << QVariant(0) << QList<int>{};
            row("null emptied meanwhile") << description + u"NULL"_s << description + u"''"_s
                                          << QVariant(u""_s) << QVariant(0) << QList<int>{0};
            row("deleted meanwhile")
                << none << u"DELETE FROM Table1"_s << QVariant() << QVariant() << QList<int>{};
        }
    }
    void writeKeepsWhatOthersChangedAndOnlyThat()
    {
        QFETCH(ScriptFixture::Store, store);
        QFETCH(QString, before);
        QFETCH(QString, meanwhile);
        QFETCH(QVariant, description);
        QFETCH(QVariant, count);
        QFETCH(QList<int>, conflicts);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createNumbered(special(), 2);
        if (!before.isEmpty())
            fx.execute(special(), before + u" WHERE \"ID\" = 1"_s);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore records(*table);
        const QVariantList read = *records.read(1);
        if (!meanwhile.isEmpty())
            fx.execute(special(), meanwhile + u" WHERE \"ID\" = 1"_s);

        const auto written = records.write({{1, {{0, read.at(0), u"mine"_s}}}});
        QCOMPARE(written.value(1).now.has_value(), description.isValid());
        QCOMPARE(written.value(1).conflicts, conflicts);
        if (description.isValid()) {
            QCOMPARE(*written.value(1).now, *records.read(1));
            QVERIFY(
                RecordStore::sameValue(fx.column(special(), u"Description"_s).at(0), description));
            QCOMPARE(fx.column(special(), u"Yes"_s).at(0), count);
        }
        QCOMPARE(fx.column(special(), u"Description"_s).constLast(), u"note 2"_s);
    }

    void briefWriteGivesUpOnALockAndKeepsItsPatience()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 1);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore store(*table);
        const auto patience = [&] {
            QSqlQuery query = table->exec(u"PRAGMA busy_timeout"_s);
            return query.next() ? query.value(0).toInt() : -1;
        };
        const int before = patience();
        {
            FileLock lock(fx.path(special()), FileLock::Kind::Write);
            try {
                store.write({{1, {{0, u"note 1"_s, u"mine"_s}}}}, RecordStore::Wait::Briefly);
                QFAIL("written through another program's lock");
            } catch (const ScriptError& error) {
                QVERIFY2(error.reason().contains(u"locked"_s), qPrintable(error.message()));
            }
        }
        QCOMPARE(patience(), before);
        QVERIFY(store.write({{1, {{0, u"note 1"_s, u"mine"_s}}}}).value(1).conflicts.isEmpty());
        QCOMPARE(fx.column(special(), u"Description"_s), QVariantList{u"mine"_s});
    }

    void addRemoveAndPutBack_data() { ScriptFixture::addStores(); }
    void addRemoveAndPutBack()
    {
        QFETCH(ScriptFixture::Store, store);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createNumbered(special(), 3);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore records(*table);
        const qint64 id = records.addDefaultRow();
        QCOMPARE(id, 4);
        QCOMPARE(*records.read(id), (QVariantList{u""_s, u""_s, 0, u""_s, u""_s, u""_s, u""_s}));
        QVERIFY(records.remove(2));
        QVERIFY(!records.remove(2));
        const std::optional<QVariantList> taken = records.take(3);
        QVERIFY(taken && !records.take(3));
        QCOMPARE(records.ids(RecordStore::Order::ById), (QList<qint64>{1, 4}));
        QVERIFY(records.restore(3, *taken));
        QVERIFY(!records.restore(3, *taken));
        QCOMPARE(*records.read(3), *taken);
        // A row put back keeps its ID, and rows added after it still get new ones.
        QCOMPARE(records.addDefaultRow(), 5);
    }

    void databaseFaultsAreThrownNamingTheFile()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 1);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore store(*table);
        fx.execute(special(), u"ALTER TABLE Table1 RENAME TO Gone"_s);
        try {
            store.ids(RecordStore::Order::ByCountDescending);
            QFAIL("no error");
        } catch (const ScriptError& error) {
            QCOMPARE(error.file(), u"special.mdb"_s);
            QVERIFY2(error.reason().contains(u"Table1"_s), qPrintable(error.message()));
        }
    }

    void countIndexIsAddedToOlderFiles()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 1);
        fx.execute(special(), u"DROP INDEX Table1_Yes"_s);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore store(*table);
        store.ensureCountIndex();
        store.ensureCountIndex();
        QSqlQuery plan =
            table->exec(u"EXPLAIN QUERY PLAN SELECT ID FROM Table1 ORDER BY \"Yes\" DESC, ID"_s);
        QVERIFY(plan.next());
        QVERIFY2(plan.value(3).toString().contains(u"Table1_Yes"_s),
                 qPrintable(plan.value(3).toString()));
    }
};

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
