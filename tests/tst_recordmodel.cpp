// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/RecordModel.h"
#include "script/ScriptTable.h"
#include "tests/support/FileLock.h"
#include "tests/support/ScriptFixture.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QSignalSpy>
#include <QTest>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
int column(const QString& field)
{
    return int(TableLayout::special().columns.indexOf(field));
}

const int description = column(u"Description"_s);
const int questionColumn = column(u"Primary Question (Y/N)"_s);
const int yesColumn = column(TableLayout::countColumn());
const int enhance = column(u"Enhance Process"_s);
const int second = column(u"2nd Question (Input)"_s);
} // namespace

class TestRecordModel : public QObject {
    Q_OBJECT

    static const TableLayout& special() { return TableLayout::special(); }

    static std::unique_ptr<RecordModel> openModel(const ScriptFixture& fx,
                                                  const TableLayout& layout)
    {
        return std::make_unique<RecordModel>(ScriptTable::open(fx.dir(), layout));
    }

private Q_SLOTS:
    void staysConsistentThroughEveryChange()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 3 * RowList::pageSize + 7);
        auto model = openModel(fx, special());
        QAbstractItemModelTester tester(model.get(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model->rowCount(), 3 * RowList::pageSize + 7);
        QVERIFY(model->setData(model->index(5, description), u"edited"_s));
        QVERIFY(model->addRow());
        QVERIFY(model->deleteRow(0));
        QVERIFY(model->sortByCount());
        QVERIFY(model->savePending());
        QCOMPARE(model->rowCount(), 3 * RowList::pageSize + 7);
        // Another program deletes and adds rows; the grid follows, the new row coming last.
        fx.execute(special(), u"DELETE FROM Table1 WHERE ID IN (7, 8, 150)"_s);
        fx.execute(special(), u"INSERT INTO Table1 (Description) VALUES ('theirs')"_s);
        QTRY_COMPARE(model->rowCount(), 3 * RowList::pageSize + 7 - 3 + 1);
        QCOMPARE(model->data(model->index(model->rowCount() - 1, description)).toString(),
                 u"theirs"_s);
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
        QCOMPARE(model
                     ->data(model->index(
                         1, int(TableLayout::doubles().columns.indexOf(u"String  #1"_s))))
                     .toString(),
                 u"String  #1 2"_s);
    }

    void editsAreHeldUntilSaved()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 3);
        auto model = openModel(fx, special());
        QVERIFY(model->setData(model->index(0, description), u"first"_s));
        QVERIFY(model->setData(model->index(0, yesColumn), u"12"_s));
        QVERIFY(model->setData(model->index(2, description), u"third"_s));
        QCOMPARE(model->data(model->index(0, description)).toString(), u"first"_s);
        QCOMPARE(model->headerData(0, Qt::Vertical).toString(), u"\u270E 1"_s);
        QVERIFY(!model->isUnsaved(1));
        QCOMPARE(fx.column(special(), u"Description"_s),
                 (QVariantList{u"note 1"_s, u"note 2"_s, u"note 3"_s}));

        QVERIFY(model->savePending());
        QVERIFY(!model->hasUnsavedEdits());
        QCOMPARE(model->headerData(0, Qt::Vertical).toString(), u"1"_s);
        QCOMPARE(fx.column(special(), u"Description"_s),
                 (QVariantList{u"first"_s, u"note 2"_s, u"third"_s}));
        QCOMPARE(fx.column(special(), u"Yes"_s).at(0), QVariant(12));
    }

    void editsStayInTheRowsTheyWereTypedIn()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 3);
        auto model = openModel(fx, special());
        QSignalSpy failures(model.get(), &RecordModel::failed);
        std::optional<FileLock> lock(std::in_place, fx.path(special()), FileLock::Kind::Write);
        QVERIFY(model->setData(model->index(0, description), u"typed in A"_s));
        QVERIFY(!model->savePending());
        QVERIFY(model->setData(model->index(2, second), u"typed in B"_s));
        QVERIFY(!model->savePending());
        QCOMPARE(model->data(model->index(0, description)).toString(), u"typed in A"_s);
        QCOMPARE(model->data(model->index(2, second)).toString(), u"typed in B"_s);
        QCOMPARE(model->data(model->index(2, description)).toString(), u"note 3"_s);
        QVERIFY(model->isUnsaved(0) && model->isUnsaved(2));
        QCOMPARE(failures.size(), 1); // told once, naming the row that could not be saved
        QVERIFY2(failures.at(0).at(0).toString().startsWith(
                     u"special.mdb, row 1: not saved (database is locked)"_s),
                 qPrintable(failures.at(0).at(0).toString()));
        lock.reset();
        QVERIFY(model->savePending());
        QVERIFY(!model->hasUnsavedEdits());
        QCOMPARE(fx.column(special(), u"Description"_s),
                 (QVariantList{u"typed in A"_s, u"note 2"_s, u"note 3"_s}));
        QCOMPARE(fx.column(special(), u"2nd Question (Input)"_s),
                 (QVariantList{u"2nd Question (Input) 1"_s, u"2nd Question (Input) 2"_s,
                               u"typed in B"_s}));
    }

    void aSaveThatWaitsNamesTheRowByItsNumberAfterSort()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 3);
        fx.execute(special(), u"UPDATE Table1 SET \"Yes\" = ID"_s);
        auto model = openModel(fx, special());
        QVERIFY(model->sortByCount()); // the third row by ID is shown first
        QSignalSpy failures(model.get(), &RecordModel::failed);
        const FileLock lock(fx.path(special()), FileLock::Kind::Write);
        QVERIFY(model->setData(model->index(0, description), u"typed"_s));
        QVERIFY(!model->savePending());
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.at(0).at(0).toString().startsWith(u"special.mdb, row 3: not saved"_s),
                 qPrintable(failures.at(0).at(0).toString()));
    }

    void onlyTheSameFieldChangedElsewhereIsTheAuthorsChoice_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("inFile");
        QTest::addColumn<QString>("shown");
        const QString count = u"UPDATE Table1 SET \"Yes\" = \"Yes\" + 1 WHERE ID = 2"_s;
        const QString both = u"UPDATE Table1 SET \"Yes\" = 1, \"Primary Question (Y/N)\" = "
                             u"'theirs' WHERE ID = 2"_s;
        using Choice = RecordModel::Choice;
        QTest::newRow("count meanwhile")
            << count << int(Choice::Undecided) << false << u"mine"_s << u"mine"_s;
        QTest::newRow("keep mine")
            << both << int(Choice::KeepMine) << true << u"mine"_s << u"mine"_s;
        QTest::newRow("take theirs")
            << both << int(Choice::TakeTheirs) << true << u"theirs"_s << u"theirs"_s;
        QTest::newRow("undecided")
            << both << int(Choice::Undecided) << true << u"theirs"_s << u"mine"_s;
    }
    void onlyTheSameFieldChangedElsewhereIsTheAuthorsChoice()
    {
        QFETCH(QString, meanwhile);
        QFETCH(int, choice);
        QFETCH(bool, asked);
        QFETCH(QString, inFile);
        QFETCH(QString, shown);
        ScriptFixture fx;
        fx.createNumbered(special(), 2);
        auto model = openModel(fx, special());
        QSignalSpy failures(model.get(), &RecordModel::failed);
        QStringList questions;
        model->setConflictResolver([&](const QString& question) {
            questions << question;
            return RecordModel::Choice(choice);
        });
        QCOMPARE(model->data(model->index(1, yesColumn)).toString(), u"0"_s);
        QVERIFY(model->setData(model->index(1, questionColumn), u"mine"_s));
        fx.execute(special(), meanwhile);

        const bool unsaved = asked && RecordModel::Choice(choice) == RecordModel::Choice::Undecided;
        QCOMPARE(model->savePending(), !unsaved);
        QCOMPARE(failures.size(), 0);
        QCOMPARE(questions.size(), asked ? 1 : 0);
        if (asked)
            QCOMPARE(questions.at(0),
                     u"special.mdb, row 2: another program changed what you were editing: "
                     u"\"Primary Question (Y/N)\" now holds \"theirs\" where you typed \"mine\". "
                     u"Keep mine (write it over theirs) or take theirs?"_s);
        QCOMPARE(fx.column(special(), u"Primary Question (Y/N)"_s).at(1), inFile);
        QCOMPARE(fx.column(special(), u"Yes"_s), (QVariantList{0, 1}));
        QCOMPARE(model->data(model->index(1, questionColumn)).toString(), shown);
        QCOMPARE(model->data(model->index(1, yesColumn)).toString(), u"1"_s);
        QCOMPARE(model->isUnsaved(1), unsaved);
    }

    void nullsLookDistinctAndClearToEmptyText()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 1);
        fx.execute(special(),
                   u"UPDATE Table1 SET Description = NULL, \"Enhance Process\" = NULL"_s);
        auto model = openModel(fx, special());
        QCOMPARE(model->data(model->index(0, description)).toString(), u"NULL"_s);
        QVERIFY(model->data(model->index(0, description), Qt::FontRole).value<QFont>().italic());
        QCOMPARE(model->data(model->index(0, description), Qt::EditRole).toString(), QString());
        QVERIFY(model->setData(model->index(0, description), u""_s));
        QVERIFY(
            model->setData(model->index(0, enhance), QString())); // what an emptied editor gives
        QVERIFY(model->savePending());
        for (const QString& field : {u"Description"_s, u"Enhance Process"_s}) {
            const QVariant stored = fx.column(special(), field).at(0);
            QVERIFY2(!stored.isNull(), qPrintable(field));
            QCOMPARE(stored.toString(), QString());
        }
        QCOMPARE(model->data(model->index(0, description)).toString(), QString());
    }

    void rowDeletedElsewhereLeavesTheGridWhenSaved()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 2);
        auto model = openModel(fx, special());
        QSignalSpy lost(model.get(), &RecordModel::typedTextLost);
        QVERIFY(model->setData(model->index(0, description), u"mine"_s));
        fx.execute(special(), u"DELETE FROM Table1 WHERE ID = 1"_s);
        QVERIFY(!model->saveRow(0));
        QCOMPARE(lost.size(), 1);
        QCOMPARE(lost.at(0).at(1).toString(), u"mine"_s); // handed on for the author to keep
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->data(model->index(0, description)).toString(), u"note 2"_s);
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
            << second << QString(256, u'q') << u"field \"2nd Question (Input)\""_s;
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
        QVERIFY(!model->hasUnsavedEdits());
    }

    void blankCountIsSavedUnset()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 1);
        auto model = openModel(fx, special());
        QVERIFY(model->setData(model->index(0, yesColumn), u""_s));
        QVERIFY(model->savePending());
        QVERIFY(fx.column(special(), u"Yes"_s).at(0).isNull());
        QCOMPARE(model->data(model->index(0, yesColumn), Qt::EditRole).toString(), QString());
    }

    void addAppendsAndSortOrdersByCount()
    {
        ScriptFixture fx;
        fx.createNumbered(special(), 3);
        fx.execute(special(), u"UPDATE Table1 SET Yes = ID * 10 WHERE ID < 3"_s);
        auto model = openModel(fx, special());
        QVERIFY(model->addRow());
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->data(model->index(3, description)).toString(), QString());
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
        QVERIFY(!(model->flags(model->index(0, description)) & Qt::ItemIsEditable));
        QVERIFY(!model->setData(model->index(0, description), u"x"_s));
    }
};

QTEST_GUILESS_MAIN(TestRecordModel)
#include "tst_recordmodel.moc"
