// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/RowList.h"
#include "script/RecordStore.h"
#include "script/ScriptTable.h"
#include "tests/support/ScriptFixture.h"

#include <QTest>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {
// What a grid's model is told, in order: "insert 3-4", "remove 0-1", "reset".
class Told final : public RowList::Listener {
public:
    QStringList changes;

    void beforeInsert(int first, int last) override { begin(u"insert %1-%2"_s, first, last); }
    void afterInsert() override { end(); }
    void beforeRemove(int first, int last) override { begin(u"remove %1-%2"_s, first, last); }
    void afterRemove() override { end(); }
    void beforeReset() override { begin(u"reset"_s, 0, 0); }
    void afterReset() override { end(); }

private:
    void begin(const QString& change, int first, int last)
    {
        changes << (m_open ? u"nested "_s : QString()) + change.arg(first).arg(last);
        m_open = true;
    }
    void end()
    {
        if (!m_open)
            changes << u"unpaired"_s;
        m_open = false;
    }

    bool m_open = false;
};

// A control file of `rows` numbered rows, listed as a grid lists it.
struct Rows {
    explicit Rows(int rows)
    {
        fx.createNumbered(TableLayout::control(), rows);
        table = ScriptTable::open(fx.dir(), TableLayout::control());
        store = std::make_unique<RecordStore>(*table);
        list = std::make_unique<RowList>(*store, told);
    }

    // The numbers messages give the rows, in the order shown.
    QList<int> numbers() const
    {
        QList<int> result;
        for (int row = 0; row < list->size(); ++row)
            result << list->number(row);
        return result;
    }

    ScriptFixture fx;
    std::unique_ptr<ScriptTable> table;
    std::unique_ptr<RecordStore> store;
    Told told;
    std::unique_ptr<RowList> list;
};

QList<qint64> range(qint64 first, qint64 last)
{
    QList<qint64> ids;
    for (qint64 id = first; id <= last; ++id)
        ids << id;
    return ids;
}
} // namespace

class TestRowList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Rows other programs deleted leave in runs, told from the end so that each run is told
    // where it still stands; rows they added come last, whatever the order shown.
    void followsWhatOtherProgramsChanged_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QList<qint64>>("kept");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QList<qint64>>("ids");
        QTest::addColumn<QList<int>>("numbers");

        QTest::newRow("a run") << false << u"DELETE FROM Table1 WHERE ID IN (3, 4, 5)"_s
                               << QList<qint64>{} << QStringList{u"remove 2-4"_s}
                               << QList<qint64>{1, 2, 6} << QList<int>{1, 2, 3};
        QTest::newRow("two runs") << false << u"DELETE FROM Table1 WHERE ID IN (2, 5, 6)"_s
                                  << QList<qint64>{}
                                  << QStringList{u"remove 4-5"_s, u"remove 1-1"_s}
                                  << QList<qint64>{1, 3, 4} << QList<int>{1, 2, 3};
        // A row holding an edit stays until its save tells the author what became of it.
        QTest::newRow("held on to") << false << u"DELETE FROM Table1 WHERE ID IN (3, 4)"_s
                                    << QList<qint64>{4} << QStringList{u"remove 2-2"_s}
                                    << QList<qint64>{1, 2, 4, 5, 6} << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("deleted, sorted")
            << true << u"DELETE FROM Table1 WHERE ID = 5"_s << QList<qint64>{}
            << QStringList{u"remove 1-1"_s} << QList<qint64>{6, 4, 3, 2, 1}
            << QList<int>{5, 4, 3, 2, 1};
        QTest::newRow("added, sorted")
            << true << u"INSERT INTO Table1 (Description) VALUES ('a'), ('b')"_s << QList<qint64>{}
            << QStringList{u"insert 6-7"_s} << QList<qint64>{6, 5, 4, 3, 2, 1, 7, 8}
            << QList<int>{6, 5, 4, 3, 2, 1, 7, 8};
        QTest::newRow("both, sorted")
            << true << u"DELETE FROM Table1 WHERE ID = 5; INSERT INTO Table1 DEFAULT VALUES"_s
            << QList<qint64>{} << QStringList{u"remove 1-1"_s, u"insert 5-5"_s}
            << QList<qint64>{6, 4, 3, 2, 1, 7} << QList<int>{5, 4, 3, 2, 1, 6};
    }
    void followsWhatOtherProgramsChanged()
    {
        QFETCH(bool, sorted);
        QFETCH(QString, meanwhile);
        QFETCH(QList<qint64>, kept);
        QFETCH(QStringList, told);
        QFETCH(QList<qint64>, ids);
        QFETCH(QList<int>, numbers);
        Rows rows(6);
        if (sorted)
            rows.list->reorder({6, 5, 4, 3, 2, 1});
        rows.told.changes.clear();
        rows.numbers(); // shown in the selector before the change, as a grid shows them
        for (const QString& statement : meanwhile.split(u"; "_s))
            rows.fx.execute(TableLayout::control(), statement);

        rows.list->refresh([&](qint64 id) { return kept.contains(id); });
        QCOMPARE(rows.told.changes, told);
        QCOMPARE(rows.list->ids(), ids);
        QCOMPARE(rows.numbers(), numbers);
        for (int number = 1; number <= numbers.size(); ++number)
            QCOMPARE(rows.list->number(rows.list->rowOfNumber(number)), number);
    }

    // A large file shows its first rows at once and lists the rest, each once, when asked; a
    // first row another program deleted meanwhile leaves alone, so the rest keep their place.
    void listsALargeFileInTwoSteps_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("told");
        const int first = RowList::firstRows;
        QTest::newRow("the rest follow")
            << QString() << QStringList{u"insert %1-%2"_s.arg(first).arg(first + 4)};
        QTest::newRow("a first row deleted")
            << u"DELETE FROM Table1 WHERE ID = 10"_s
            << QStringList{u"remove 9-9"_s, u"insert %1-%2"_s.arg(first - 1).arg(first + 3)};
    }
    void listsALargeFileInTwoSteps()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, told);
        Rows rows(RowList::firstRows + 5);
        QCOMPARE(rows.list->size(), RowList::firstRows);
        QVERIFY(!rows.list->isComplete());
        if (!meanwhile.isEmpty())
            rows.fx.execute(TableLayout::control(), meanwhile);

        rows.list->complete();
        QVERIFY(rows.list->isComplete());
        QCOMPARE(rows.told.changes, told);
        QList<qint64> expected = range(1, RowList::firstRows + 5);
        if (!meanwhile.isEmpty())
            expected.removeOne(10);
        QCOMPARE(rows.list->ids(), expected);
        QCOMPARE(rows.list->number(rows.list->size() - 1), int(expected.size()));
    }

    // Values are read a page at a time, and only so many pages are held, however far the
    // author scrolls.
    void readsValuesInABoundedNumberOfPages()
    {
        Rows rows((RowList::maxCachedPages + 10) * RowList::pageSize);
        rows.list->complete();
        const int line = int(TableLayout::control().columns.indexOf(u"String"_s));
        for (int row = 0; row < rows.list->size(); row += 7) {
            const QVariantList* values = rows.list->values(row);
            QVERIFY(values);
            QCOMPARE(values->at(line).toString(), u"String %1"_s.arg(row + 1));
        }
        QVERIFY(rows.list->cachedPages() <= RowList::maxCachedPages);
    }
};

QTEST_GUILESS_MAIN(TestRowList)
#include "tst_rowlist.moc"
