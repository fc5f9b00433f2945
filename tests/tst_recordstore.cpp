#include "script/RecordStore.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "tests/support/ScriptFixture.h"

#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestRecordStore : public QObject {
    Q_OBJECT

    static const TableLayout& special() { return TableLayout::special(); }

    static QVariantList edited(QVariantList row, const QString& description)
    {
        row[0] = description;
        return row;
    }

private Q_SLOTS:
    void idsComeInTableOrderOrMostConfirmedFirst()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 4);
        fx.execute(special(), u"UPDATE Table1 SET Yes = 5 WHERE ID = 3"_s);
        fx.execute(special(), u"UPDATE Table1 SET Yes = 5 WHERE ID = 2"_s);
        fx.execute(special(), u"UPDATE Table1 SET Yes = 9 WHERE ID = 4"_s);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore store(*table);
        QCOMPARE(store.ids(RecordStore::Order::ById), (QList<qint64>{1, 2, 3, 4}));
        QCOMPARE(store.ids(RecordStore::Order::ByCountDescending), (QList<qint64>{4, 2, 3, 1}));
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

    void updateWritesWhenTheRowIsAsRead()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 2);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore store(*table);
        const QVariantList original = *store.read(2);
        QVERIFY(store.update(2, original, edited(original, u"changed"_s)));
        QCOMPARE(fx.column(special(), u"Description"_s), (QVariantList{u"note 1"_s, u"changed"_s}));
    }

    void updateRefusesToOverwriteAnotherChange()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 2);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore store(*table);
        const QVariantList original = *store.read(1);
        // The runner counts a confirmation after the editor read the row.
        fx.execute(special(), u"UPDATE Table1 SET \"Yes\" = \"Yes\" + 1 WHERE ID = 1"_s);
        QVERIFY(!store.update(1, original, edited(original, u"mine"_s)));
        QCOMPARE(fx.column(special(), u"Yes"_s), (QVariantList{1, 0}));
        QCOMPARE(fx.column(special(), u"Description"_s).at(0), u"note 1"_s);
    }

    void updateComparesUnsetValues()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 1);
        fx.execute(special(), u"UPDATE Table1 SET Yes = NULL, Description = NULL"_s);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore store(*table);
        const QVariantList original = *store.read(1);
        QVERIFY(original.at(0).isNull());
        QVERIFY(store.update(1, original, edited(original, u"set"_s)));
        QCOMPARE(fx.column(special(), u"Description"_s), QVariantList{u"set"_s});
        QVERIFY(fx.column(special(), u"Yes"_s).at(0).isNull());
    }

    void updateOfAVanishedRowFails()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 1);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore store(*table);
        const QVariantList original = *store.read(1);
        fx.execute(special(), u"DELETE FROM Table1"_s);
        QVERIFY(!store.update(1, original, original));
    }

    void addAndRemove()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 3);
        auto table = ScriptTable::open(fx.dir(), special());
        RecordStore store(*table);
        const qint64 id = store.addDefaultRow();
        QCOMPARE(id, 4);
        QCOMPARE(*store.read(id), (QVariantList{u""_s, u""_s, 0, u""_s, u""_s, u""_s, u""_s}));
        QVERIFY(store.remove(2));
        QVERIFY(!store.remove(2));
        QCOMPARE(store.ids(RecordStore::Order::ById), (QList<qint64>{1, 3, 4}));
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
