// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/commands/CellFinder.h"
#include "editor/commands/CellTextEditor.h"
#include "editor/grid/CellTextDialog.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptCheck.h"
#include "script/TableLayout.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/ScriptedDialogs.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {
const TableLayout& specialLayout()
{
    return TableLayout::special();
}

int column(const QString& field)
{
    return int(specialLayout().columns.indexOf(field));
}

const int noteColumn = column(u"Description"_s);
const int questionColumn = column(u"Primary Question (Y/N)"_s);
const int yesColumn = column(TableLayout::countColumn());

QVariantList specialRow(const QString& description, const QVariant& question, int yes)
{
    return {description, question, yes, u"enhance"_s, u"second?"_s, u"third?"_s, u"fourth?"_s};
}

int gridRowOf(const RecordModel& model, const QString& note)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.data(model.index(row, noteColumn)).toString() == note)
            return row;
    }
    return -1;
}
} // namespace

class TestGridReading : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The selector, the check and the editor's own messages give a row one number, also when
    // the grid shows the rows in another order than the runner reads them.
    void selectorNumbersRowsAsTheCheckDoes_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::newRow("as read") << false;
        QTest::newRow("after Sort") << true;
    }
    void selectorNumbersRowsAsTheCheckDoes()
    {
        QFETCH(bool, sorted);
        ScriptFixture fx;
        fx.create(specialLayout(),
                  {specialRow(u"first"_s, u"one?"_s, 1), specialRow(u"second"_s, u"two?"_s, 5),
                   specialRow(u"faulty"_s, u""_s, 9), specialRow(u"fourth"_s, u"four?"_s, 3)});
        fx.execute(specialLayout(), u"DELETE FROM Table1 WHERE Description = 'second'"_s);

        const QList<ScriptFinding> findings = ScriptCheck::run(fx.dir(), {&specialLayout()});
        const auto finding =
            std::find_if(findings.begin(), findings.end(), [](const ScriptFinding& f) {
                return f.field == u"Primary Question (Y/N)"_s;
            });
        QVERIFY(finding != findings.end());
        QCOMPARE(finding->row, 2);

        ScriptedDialogs dialogs;
        Form1 form(dialogs, fx.dir());
        RecordModel* model = form.model(Tab::Special);
        if (sorted)
            form.findChild<QPushButton*>(u"Command4"_s)->click();
        const int row = gridRowOf(*model, u"faulty"_s);
        QCOMPARE(row, sorted ? 0 : 1);
        QCOMPARE(model->headerData(row, Qt::Vertical).toString(), QString::number(finding->row));

        // The editor's own messages about that row give the same number.
        QVERIFY(!model->setData(model->index(row, yesColumn), u"many"_s));
        QCOMPARE(dialogs.asked.size(), 1);
        QVERIFY2(dialogs.asked.first().startsWith(u"special.mdb, row %1,"_s.arg(finding->row)),
                 qPrintable(dialogs.asked.first()));
        auto* finder = form.findChild<CellFinder*>();
        QVERIFY(finder);
        finder->setOptions({u"faulty"_s, false, true});
        QVERIFY(finder->findNext());
        QCOMPARE(form.grid(Tab::Special)->currentIndex().row(), row);
        const QString found = form.statusBar()->currentMessage();
        QVERIFY2(found.contains(u"special.mdb, row %1,"_s.arg(finding->row)), qPrintable(found));
    }

    // The window's text is an edit of the cell it was opened on, compared when saved with what
    // the file held as it opened, as an edit typed in the cell is.
    void windowTextIsAnEditOfItsCell()
    {
        ScriptFixture fx;
        fx.create(specialLayout(),
                  {specialRow(u"first"_s, u"one?"_s, 1), specialRow(u"second"_s, u"two?"_s, 5),
                   specialRow(u"third"_s, u"three?"_s, 2)});
        ScriptedDialogs dialogs;
        Form1 form(dialogs, fx.dir());
        form.findChild<QPushButton*>(u"Command4"_s)->click(); // second, third, first
        ScriptGrid* grid = form.grid(Tab::Special);
        RecordModel* model = form.model(Tab::Special);
        auto* opener = form.findChild<CellTextEditor*>();
        QVERIFY(opener);
        QVERIFY(!opener->open(grid, model->index(0, yesColumn))); // a count is no text

        // Looked at and accepted unchanged: no edit.
        CellTextDialog* window = opener->open(grid, model->index(1, questionColumn));
        QVERIFY(window);
        QCOMPARE(window->text(), u"three?"_s);
        window->accept();
        QVERIFY(!model->hasUnsavedEdits());

        window = opener->open(grid, model->index(1, questionColumn));
        QVERIFY(window);
        // Another program changes the same field while the window is open.
        fx.execute(specialLayout(),
                   u"UPDATE Table1 SET \"Primary Question (Y/N)\" = 'theirs' WHERE ID = 3"_s);
        const QString mine = QString(300, u'x');
        window->setText(mine);
        QVERIFY(window->countText().contains(u"45 too many"_s));
        window->setText(u"Is this the third?"_s);
        window->accept();
        QCOMPARE(model->data(model->index(1, questionColumn)).toString(), u"Is this the third?"_s);
        QVERIFY(model->isUnsaved(1));
        QVERIFY(!model->isUnsaved(0) && !model->isUnsaved(2));

        dialogs.answers << QVariant::fromValue(QMessageBox::Save); // keep mine
        QVERIFY(form.saveAll());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.asked.first().contains(u"another program changed"_s),
                 qPrintable(dialogs.asked.first()));
        QCOMPARE(fx.column(specialLayout(), u"Primary Question (Y/N)"_s),
                 (QVariantList{u"one?"_s, u"two?"_s, u"Is this the third?"_s}));
    }

    // The count column shows the largest count whole, wherever its row is, and widens as soon
    // as another program counts past it.
    void countColumnFitsTheLargestCountAndGrowsWithIt()
    {
        ScriptFixture fx;
        QList<QVariantList> rows;
        for (int k = 1; k <= 80; ++k)
            rows << specialRow(u"case %1"_s.arg(k), u"question %1?"_s.arg(k), k);
        rows[69][yesColumn] = 1234567;
        fx.create(specialLayout(), rows);
        ScriptedDialogs dialogs;
        Form1 form(dialogs, fx.dir());
        form.show();
        ScriptGrid* grid = form.grid(Tab::Special);
        // As wide as the view itself finds the rows in sight need.
        const auto fits = [grid](int row) {
            grid->scrollTo(grid->model()->index(row, yesColumn));
            QCoreApplication::processEvents();
            const QAbstractItemView* view = grid;
            return grid->columnWidth(yesColumn) >= view->sizeHintForColumn(yesColumn);
        };
        QVERIFY(fits(69));

        fx.execute(specialLayout(), u"UPDATE Table1 SET Yes = 98765432109 WHERE ID = 75"_s);
        QTRY_VERIFY(fits(74));
        QVERIFY(dialogs.asked.isEmpty());
    }

    // A large file shows its first rows before its whole row list is read; the rest follow,
    // each once, before a row is added after them.
    void largeFileListsEveryRowOnceBeforeAnAdd()
    {
        ScriptFixture fx;
        const int count = RowList::firstRows + 500;
        QList<QVariantList> rows;
        for (int k = 1; k <= count; ++k)
            rows << specialRow(u"case %1"_s.arg(k), u"question %1?"_s.arg(k), 0);
        fx.create(specialLayout(), rows);
        ScriptedDialogs dialogs;
        Form1 form(dialogs, fx.dir());
        RecordModel* model = form.model(Tab::Special);
        QVERIFY(model->rowCount() <= count);
        QVERIFY(model->addRow());
        QCOMPARE(model->rowCount(), count + 1);
        QCOMPARE(model->data(model->index(count - 1, noteColumn)).toString(),
                 u"case %1"_s.arg(count));
        QCOMPARE(model->headerData(count, Qt::Vertical).toString(), QString::number(count + 1));
        QCOMPARE(fx.column(specialLayout(), u"Description"_s).size(), count + 1);
        QVERIFY(dialogs.asked.isEmpty());
    }

    // Once a large file shows, the rest of it is read while the author goes on: every row
    // comes, the current cell stays where the author put it, and damage is named once.
    void largeFileIsReadWholeAfterItShows_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("sound") << false;
        QTest::newRow("damaged") << true;
    }
    void largeFileIsReadWholeAfterItShows()
    {
        QFETCH(bool, damaged);
        ScriptFixture fx;
        QList<QVariantList> rows;
        const QString words = QString(200, u'w');
        constexpr int count = 6000;
        for (int k = 1; k <= count; ++k)
            rows << specialRow(u"case %1"_s.arg(k), words + QString::number(k), k % 7);
        fx.create(specialLayout(), rows);
        if (damaged)
            QVERIFY(ScriptFixture::spoilATablePage(fx.path(specialLayout())));
        ScriptedDialogs dialogs;
        Form1 form(dialogs, fx.dir());
        RecordModel* model = form.model(Tab::Special);
        QVERIFY(model->rowCount() < count);
        ScriptGrid* grid = form.grid(Tab::Special);
        const QModelIndex cell = model->index(5, questionColumn);
        grid->setCurrentIndex(cell);
        form.show();
        QTRY_COMPARE(model->rowCount(), count);
        QTRY_COMPARE(dialogs.asked.size(), damaged ? 1 : 0);
        if (damaged)
            QVERIFY2(dialogs.asked.first().startsWith(u"special.mdb: the file is damaged"_s),
                     qPrintable(dialogs.asked.first()));
        QCOMPARE(model->isReadOnly(), damaged);
        QCOMPARE(grid->currentIndex(), cell);
    }

    // A large file opens before it is read whole, but a damaged one is named, and left as it
    // is, before anything is written to it.
    void damagedLargeFileIsNamedBeforeAnyChange()
    {
        ScriptFixture fx;
        QList<QVariantList> rows;
        const QString words = QString(200, u'w');
        for (int k = 1; k <= 6000; ++k)
            rows << specialRow(u"case %1"_s.arg(k), words + QString::number(k), k % 7);
        fx.create(specialLayout(), rows);
        const QString path = fx.path(specialLayout());
        QVERIFY(QFile(path).size() > qint64(1024) * 1024);
        QVERIFY(ScriptFixture::spoilATablePage(path));
        const QByteArray before = ScriptFixture::fingerprint(path);

        ScriptedDialogs dialogs;
        Form1 form(dialogs, fx.dir());
        RecordModel* model = form.model(Tab::Special);
        QVERIFY(model); // the first rows show at once
        QVERIFY(!model->setData(model->index(0, noteColumn), u"changed"_s));
        QVERIFY(!model->addRow());
        QCOMPARE(dialogs.asked.size(), 1);
        QVERIFY2(dialogs.asked.first().startsWith(u"special.mdb: the file is damaged"_s),
                 qPrintable(dialogs.asked.first()));
        QVERIFY(model->isReadOnly());
        QCOMPARE(ScriptFixture::fingerprint(path), before);
    }
};

QTEST_MAIN(TestGridReading)
#include "tst_gridreading.moc"
