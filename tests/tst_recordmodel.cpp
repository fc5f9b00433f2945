#include "editor/RecordModel.h"
#include "script/ScriptTable.h"
#include "tests/support/ScriptFixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestRecordModel : public QObject {
    Q_OBJECT

    static const TableLayout& special() { return TableLayout::special(); }
    static constexpr int yesColumn = 2;

    static std::unique_ptr<RecordModel> openModel(const ScriptFixture& fx,
                                                  const TableLayout& layout)
    {
        return std::make_unique<RecordModel>(ScriptTable::open(fx.dir(), layout));
    }

private Q_SLOTS:
    void staysConsistentThroughEveryChange()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 3 * RecordModel::pageSize + 7);
        auto model = openModel(fx, special());
        QAbstractItemModelTester tester(model.get(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model->rowCount(), 3 * RecordModel::pageSize + 7);
        QVERIFY(model->setData(model->index(5, 0), u"edited"_s));
        QVERIFY(model->addRow());
        QVERIFY(model->deleteRow(0));
        QVERIFY(model->sortByCount());
        QVERIFY(model->savePending());
        QCOMPARE(model->rowCount(), 3 * RecordModel::pageSize + 7);
    }

    void columnsAreTheFieldsAfterId()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::doubles(), 2);
        auto model = openModel(fx, TableLayout::doubles());
        QStringList headers;
        for (int c = 0; c < model->columnCount(); ++c)
            headers << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{u"Description"_s, u"String  #1"_s, u"String #2"_s}));
        QCOMPARE(model->data(model->index(1, 1)).toString(), u"String  #1 2"_s);
    }

    void editIsWrittenWhenSavedOrWhenAnotherRowIsEdited()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 3);
        auto model = openModel(fx, special());
        QVERIFY(model->setData(model->index(0, 0), u"first"_s));
        QVERIFY(model->setData(model->index(0, yesColumn), u"12"_s));
        QCOMPARE(model->pendingRow(), 0);
        QCOMPARE(fx.column(special(), u"Description"_s).at(0), u"note 1"_s);
        QCOMPARE(model->data(model->index(0, 0)).toString(), u"first"_s);

        QVERIFY(model->setData(model->index(2, 0), u"third"_s));
        QCOMPARE(fx.column(special(), u"Description"_s),
                 (QVariantList{u"first"_s, u"note 2"_s, u"note 3"_s}));
        QCOMPARE(fx.column(special(), u"Yes"_s).at(0), QVariant(12));
        QVERIFY(model->savePending());
        QVERIFY(!model->hasPendingEdit());
        QCOMPARE(fx.column(special(), u"Description"_s).at(2), u"third"_s);
    }

    void conflictKeepsTheOtherChangeAndShowsIt()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 2);
        auto model = openModel(fx, special());
        QSignalSpy failures(model.get(), &RecordModel::failed);
        QCOMPARE(model->data(model->index(1, yesColumn)).toString(), u"0"_s);
        QVERIFY(model->setData(model->index(1, 0), u"mine"_s));
        fx.execute(special(), u"UPDATE Table1 SET \"Yes\" = \"Yes\" + 1 WHERE ID = 2"_s);

        QVERIFY(!model->savePending());
        QCOMPARE(failures.size(), 1);
        const QString message = failures.at(0).at(0).toString();
        QVERIFY2(message.startsWith(u"special.mdb, row 2: another program changed"_s),
                 qPrintable(message));
        QVERIFY2(message.contains(u"\"Description\": \"mine\""_s), qPrintable(message));
        QCOMPARE(fx.column(special(), u"Yes"_s), (QVariantList{0, 1}));
        QCOMPARE(fx.column(special(), u"Description"_s).at(1), u"note 2"_s);
        QCOMPARE(model->data(model->index(1, yesColumn)).toString(), u"1"_s);
        QCOMPARE(model->data(model->index(1, 0)).toString(), u"note 2"_s);
    }

    void rowDeletedElsewhereLeavesTheGridWhenSaved()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 2);
        auto model = openModel(fx, special());
        QSignalSpy failures(model.get(), &RecordModel::failed);
        QVERIFY(model->setData(model->index(0, 0), u"mine"_s));
        fx.execute(special(), u"DELETE FROM Table1 WHERE ID = 1"_s);
        QVERIFY(!model->saveRow(0));
        QCOMPARE(failures.size(), 1);
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->data(model->index(0, 0)).toString(), u"note 2"_s);
    }

    void refusedValuesNameFileRowAndField_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::newRow("count word")
            << yesColumn << u"lots"_s << u"special.mdb, row 2, field \"Yes\": "_s;
        QTest::newRow("count too long") << yesColumn << u"123456789012"_s << u"field \"Yes\""_s;
        QTest::newRow("long text")
            << 4 << QString(256, u'q') << u"field \"2nd Question (Input)\""_s;
    }
    void refusedValuesNameFileRowAndField()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QString, where);
        ScriptFixture fx;
        fx.createNumbered(special(), 2);
        auto model = openModel(fx, special());
        QSignalSpy failures(model.get(), &RecordModel::failed);
        QVERIFY(!model->setData(model->index(1, column), text));
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.at(0).at(0).toString().contains(where),
                 qPrintable(failures.at(0).at(0).toString()));
        QVERIFY(!model->hasPendingEdit());
    }

    void blankCountIsSavedUnset()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 1);
        auto model = openModel(fx, special());
        QVERIFY(model->setData(model->index(0, yesColumn), u""_s));
        QVERIFY(model->savePending());
        QVERIFY(fx.column(special(), u"Yes"_s).at(0).isNull());
        QCOMPARE(model->data(model->index(0, yesColumn)).toString(), QString());
    }

    void scrollingKeepsABoundedCache()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::control(),
                          (RecordModel::maxCachedPages + 10) * RecordModel::pageSize);
        auto model = openModel(fx, TableLayout::control());
        for (int row = 0; row < model->rowCount(); row += 7)
            QCOMPARE(model->data(model->index(row, 1)).toString(), u"String %1"_s.arg(row + 1));
        QVERIFY(model->cachedPages() <= RecordModel::maxCachedPages);
    }

    void addAppendsAndSortOrdersByCount()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 3);
        fx.execute(special(), u"UPDATE Table1 SET Yes = ID * 10 WHERE ID < 3"_s);
        auto model = openModel(fx, special());
        QVERIFY(model->addRow());
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->data(model->index(3, 0)).toString(), QString());
        QVERIFY(model->sortByCount());
        QStringList order;
        for (int row = 0; row < model->rowCount(); ++row)
            order << model->data(model->index(row, yesColumn)).toString();
        QCOMPARE(order, (QStringList{u"20"_s, u"10"_s, u"0"_s, u"0"_s}));
        QVERIFY(model->addRow());
        QCOMPARE(fx.column(special(), u"Yes"_s).size(), 5);
    }

    void readOnlyFileRefusesEdits()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 1);
        QFile::setPermissions(fx.path(special()), QFile::ReadOwner | QFile::ReadUser);
        if (QFileInfo(fx.path(special())).isWritable())
            QSKIP("running with rights that ignore file permissions");
        auto model = openModel(fx, special());
        QVERIFY(model->isReadOnly());
        QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!model->setData(model->index(0, 0), u"x"_s));
    }
};

QTEST_GUILESS_MAIN(TestRecordModel)
#include "tst_recordmodel.moc"
