// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/About.h"
#include "editor/Form1.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "tests/support/EditorWindow.h"
#include "tests/support/FileLock.h"
#include "tests/support/ScriptFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int special = 3;
constexpr int yesColumn = 2;

// The window, with the special-case tab's grid, model and buttons at hand.
struct Session : EditorWindow {
    using EditorWindow::EditorWindow;

    ScriptGrid* grid() const { return form->grid(special); }
    RecordModel* model() const { return form->model(special); }
    QPushButton* button(int n) const
    {
        return form->findChild<QPushButton*>(u"Command%1"_s.arg(n));
    }
};
} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheSpecialCaseTab()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Session s(fx);
        QCOMPARE(s.form->objectName(), u"Form1"_s);
        QCOMPARE(s.form->windowTitle(), u"Edit the Veyrath"_s);
        auto* tabs = s.form->findChild<QTabWidget*>(u"SSTab1"_s);
        QVERIFY(tabs);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{u"Non Random"_s, u"Random Single Line"_s,
                                        u"Random Split Line"_s, u"Special Case"_s}));
        QCOMPARE(tabs->currentIndex(), special);
        const QStringList buttons{u"&Add"_s, u"&Delete"_s, u"&Update"_s, u"&Sort"_s};
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(s.button(n)->text(), buttons.at(n - 1));
            QVERIFY(s.button(n)->isVisible());
        }
        QCOMPARE(s.form->grid(2)->model()->columnCount(), 3);
        QCOMPARE(s.form->grid(0)->objectName(), u"TDBGrid1"_s);
        QCOMPARE(s.form->model(1)->objectName(), u"Data2"_s);
        QCOMPARE(s.form->model(1)->layout().fileName, u"control.mdb"_s);

        const QList<QAction*> menu = s.form->menuBar()->actions();
        // "&Exit" keeps its place, first and without a submenu; the author's tools come after.
        QCOMPARE(menu.size(), 4);
        QCOMPARE(menu.at(0)->objectName(), u"MNU_EXIT"_s);
        QCOMPARE(menu.at(0)->text(), u"&Exit"_s);
        QVERIFY(!menu.at(0)->menu());
        // No row is current at start, so nothing can be deleted or saved by mistake.
        QVERIFY(!s.button(2)->isEnabled());
        QVERIFY(!s.button(3)->isEnabled());
    }

    void editIsSavedWhenTheRowChanges()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Session s(fx);
        ScriptGrid* grid = s.form->grid(1);
        QVERIFY(s.type(grid, 0, 1, u"a new line"_s));
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QCOMPARE(fx.column(TableLayout::control(), u"String"_s).at(0), u"control 1"_s);
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QCOMPARE(fx.column(TableLayout::control(), u"String"_s).at(0), u"a new line"_s);
        QVERIFY(s.messages().isEmpty());
    }

    void badCountIsRefusedAndKeptForCorrection()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Session s(fx);
        QVERIFY(s.type(s.grid(), 1, yesColumn, u"twice"_s));
        s.grid()->setCurrentIndex(s.model()->index(3, 0));
        QCOMPARE(s.messages().size(), 1);
        QVERIFY2(s.messages().at(0).startsWith(u"special.mdb, row 2, field \"Yes\": "_s),
                 qPrintable(s.messages().at(0)));
        QTRY_COMPARE(s.grid()->currentIndex(), s.model()->index(1, yesColumn));
        QTRY_COMPARE(s.grid()->viewport()->findChildren<QLineEdit*>().size(), 1);
        auto* editor = s.grid()->viewport()->findChild<QLineEdit*>();
        QCOMPARE(editor->text(), u"twice"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).at(1), QVariant(0));

        editor->setText(u"2"_s);
        s.button(3)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).at(1), QVariant(2));
    }

    void addKeepsTheCurrentRowAndAppends()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Session s(fx);
        s.grid()->setCurrentIndex(s.model()->index(1, 0));
        s.button(1)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s),
                 (QVariantList{u"note 1"_s, u"note 2"_s, u"note 3"_s, u""_s}));
        QCOMPARE(s.model()->rowCount(), 4);
        QCOMPARE(s.grid()->currentIndex().row(), 1);
    }

    void deleteMakesTheNextRowCurrentOrNone()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Session s(fx);
        s.grid()->setCurrentIndex(s.model()->index(1, 0));
        s.button(2)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s),
                 (QVariantList{u"note 1"_s, u"note 3"_s}));
        QCOMPARE(s.grid()->currentIndex().row(), 1);
        s.button(2)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s), QVariantList{u"note 1"_s});
        QVERIFY(!s.grid()->currentIndex().isValid());
        QVERIFY(!s.button(2)->isEnabled());
        QVERIFY(!s.button(3)->isEnabled());
    }

    void updateSavesAnOpenEditAtOnce()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 2);
        Session s(fx);
        QVERIFY(s.type(s.grid(), 0, 4, u"why?"_s));
        s.button(3)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"2nd Question (Input)"_s).at(0), u"why?"_s);
        QVERIFY(!s.model()->hasUnsavedEdits());
    }

    void editsTypedWhileTheFileIsLockedReachTheirOwnRows()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Session s(fx);
        std::optional<FileLock> lock(std::in_place, fx.path(TableLayout::special()),
                                     FileLock::Kind::Write);
        QVERIFY(s.type(s.grid(), 0, 0, u"typed in A"_s));
        s.grid()->setCurrentIndex(s.model()->index(1, 0));
        QCOMPARE(s.messages().size(), 1);
        QVERIFY(s.type(s.grid(), 2, 4, u"typed in B"_s));
        s.grid()->setCurrentIndex(s.model()->index(1, 0));
        QCOMPARE(s.model()->data(s.model()->index(0, 0)).toString(), u"typed in A"_s);
        QCOMPARE(s.model()->data(s.model()->index(2, 4)).toString(), u"typed in B"_s);
        QVERIFY(s.model()->isUnsaved(0) && s.model()->isUnsaved(2));
        lock.reset();
        QTRY_COMPARE(fx.column(TableLayout::special(), u"2nd Question (Input)"_s).at(2),
                     u"typed in B"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s),
                 (QVariantList{u"typed in A"_s, u"note 2"_s, u"note 3"_s}));
        QVERIFY(!s.model()->hasUnsavedEdits());
        QCOMPARE(s.messages().size(), 1);
        QVERIFY2(s.messages().at(0).startsWith(u"special.mdb, row 1: not saved"_s),
                 qPrintable(s.messages().at(0)));
    }

    void nullCellShowsNullAndClearsToEmptyText()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 2);
        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET Description = NULL, \"Enhance Process\" = NULL"_s);
        Session s(fx);
        QCOMPARE(s.model()->data(s.model()->index(0, 0)).toString(), u"NULL"_s);
        // Backspace in a cell showing a null, then the command on another.
        s.grid()->setFocus();
        s.grid()->setCurrentIndex(s.model()->index(0, 0));
        QTest::keyClick(s.grid(), Qt::Key_Backspace);
        s.grid()->setCurrentIndex(s.model()->index(1, 3));
        QVERIFY(s.grid()->actions().contains(s.grid()->emptyTextAction()));
        s.grid()->emptyTextAction()->trigger();
        s.grid()->setCurrentIndex(s.model()->index(0, 3));
        QCOMPARE(s.messages(), QStringList());
        const QVariantList description = fx.column(TableLayout::special(), u"Description"_s);
        const QVariantList enhance = fx.column(TableLayout::special(), u"Enhance Process"_s);
        QVERIFY(!description.at(0).isNull() && description.at(0).toString().isEmpty());
        QVERIFY(!enhance.at(1).isNull() && enhance.at(1).toString().isEmpty());
        QVERIFY(description.at(1).isNull() && enhance.at(0).isNull());
    }

    void untouchedLongCellIsLeftAsItIs()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 2);
        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET \"3rd Question (Input)\" = "
                   u"replace(hex(zeroblob(20000)), '0', 'x') WHERE ID = 1"_s);
        Session s(fx);
        const QLineEdit* editor = s.type(s.grid(), 0, 5, {});
        QVERIFY(editor);
        QCOMPARE(editor->text().size(), 40000);
        s.grid()->setCurrentIndex(s.model()->index(1, 5));
        QCOMPARE(s.messages(), QStringList());
        QCOMPARE(
            fx.column(TableLayout::special(), u"3rd Question (Input)"_s).at(0).toString().size(),
            40000);
    }

    void othersChangesShowWithoutDisturbingTheAuthor()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 300);
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = ID % 10"_s);
        Session s(fx);
        s.button(4)->click();
        RecordModel* model = s.model();
        const QModelIndex cell = model->index(151, 1);
        const QString row = model->data(model->index(151, 0)).toString();
        const int count = model->data(model->index(151, yesColumn)).toInt();
        s.grid()->scrollTo(cell, QAbstractItemView::PositionAtTop);
        QLineEdit* editor = s.type(s.grid(), 151, 1, u"half typed"_s);
        QVERIFY(editor);
        s.grid()->selectionModel()->select(QItemSelection(model->index(150, 0), cell),
                                           QItemSelectionModel::Select);
        const QModelIndexList selected = s.grid()->selectionModel()->selectedIndexes();
        const int scroll = s.grid()->verticalScrollBar()->value();

        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET Yes = Yes + 1000, \"Primary Question (Y/N)\" = 'theirs' "
                   u"WHERE Description = '%1'"_s.arg(row));
        QTRY_COMPARE(model->data(model->index(151, yesColumn)).toInt(), count + 1000);
        QCOMPARE(model->data(model->index(151, 0)).toString(), row);
        QCOMPARE(editor->text(), u"half typed"_s);
        QVERIFY(!editor->isHidden());
        QCOMPARE(s.grid()->currentIndex(), cell);
        QCOMPARE(s.grid()->selectionModel()->selectedIndexes(), selected);
        QCOMPARE(s.grid()->verticalScrollBar()->value(), scroll);

        // The edit began before their change arrived, so the author chooses.
        s.dialogs.answers << QMessageBox::Save;
        s.grid()->setCurrentIndex(model->index(0, 0));
        QCOMPARE(s.dialogs.messages.size(), 1);
        const Dialogs::Message& asked = s.dialogs.messages.at(0);
        QVERIFY2(asked.text.contains(u"now holds \"theirs\" where you typed \"half typed\""_s),
                 qPrintable(asked.text));
        QCOMPARE(asked.buttonTexts.value(QMessageBox::Save), u"&Keep mine"_s);
        QCOMPARE(asked.buttonTexts.value(QMessageBox::Discard), u"&Take theirs"_s);
        QCOMPARE(model->data(cell).toString(), u"half typed"_s);
        QVERIFY(!model->hasUnsavedEdits());
    }

    void sortHidesTheWindowAndShowsTheBusyCursorOnlyMeanwhile()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = 4 WHERE ID = 2"_s);
        Session s(fx);
        auto* tabs = s.form->findChild<QTabWidget*>(u"SSTab1"_s);
        tabs->setCurrentIndex(0);
        bool hiddenDuring = false;
        bool busyDuring = false;
        connect(s.model(), &QAbstractItemModel::modelAboutToBeReset, this, [&] {
            hiddenDuring = !s.form->isVisible();
            busyDuring = QGuiApplication::overrideCursor() &&
                         QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        s.button(4)->click();
        QVERIFY(hiddenDuring);
        QVERIFY(busyDuring);
        QVERIFY(s.form->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(s.model()->data(s.model()->index(0, 0)).toString(), u"note 2"_s);
    }

    void failedSortStillShowsTheWindowAndTellsWhy()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Session s(fx);
        fx.execute(TableLayout::special(), u"ALTER TABLE Table1 RENAME TO Elsewhere"_s);
        s.button(4)->click();
        QVERIFY(s.form->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        QTRY_COMPARE(s.messages().size(), 1);
        QVERIFY2(s.messages().at(0).startsWith(u"special.mdb: the rows could not be sorted"_s),
                 qPrintable(s.messages().at(0)));
    }

    void missingFileIsExplainedInItsTab()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::basic(), 2);
        fx.createNumbered(TableLayout::control(), 2);
        fx.createNumbered(TableLayout::special(), 2);
        Session s(fx);
        QVERIFY(!s.form->grid(2));
        auto* problem = s.form->findChild<QLabel*>(u"Problem3"_s);
        QVERIFY(problem);
        QVERIFY2(problem->text().startsWith(u"double.mdb: the file was not found"_s),
                 qPrintable(problem->text()));
        QCOMPARE(s.form->model(0)->rowCount(), 2);
        QCOMPARE(s.model()->rowCount(), 2);
    }

    void exitSavesAPendingEditShowsAboutAndEnds()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Session s(fx);
        QVERIFY(s.type(s.grid(), 2, 0, u"kept"_s));
        s.form->findChild<QAction*>(u"MNU_EXIT"_s)->trigger();
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(2), u"kept"_s);
        QCOMPARE(s.endings, 1);
        QVERIFY(s.form->about());
        QCOMPARE(s.form->about()->findChild<QLabel*>(u"Label1"_s)->text(), u"Edit the Veyrath"_s);
        QCOMPARE(s.form->about()->findChild<QLabel*>(u"Label2"_s)->text(),
                 u"Version 1.0  (32-bit)"_s);
        QVERIFY(!s.form->about()->findChild<QLabel*>(u"Image1"_s)->pixmap().isNull());
    }

    void windowsStayResponsiveDuringTheFarewell()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 1);
        Session s(fx);
        s.form->setFarewellTime(std::chrono::milliseconds(200));
        QTimer::singleShot(0, s.button(1), &QPushButton::click);
        s.form->findChild<QAction*>(u"MNU_EXIT"_s)->trigger();
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).size(), 2);
        QCOMPARE(s.endings, 1);
    }

    void closingSavesAndEndsWithoutAbout()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Session s(fx);
        QVERIFY(s.type(s.form->grid(0), 1, 1, u"closing words"_s));
        s.form->close();
        QCOMPARE(fx.column(TableLayout::basic(), u"String"_s).at(1), u"closing words"_s);
        QCOMPARE(s.endings, 1);
        QVERIFY(!s.form->about());
    }

    void endingWithAnEditTheFileCannotTakeAsksFirst()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Session s(fx);
        QVERIFY(s.type(s.grid(), 0, 0, u"not lost"_s));
        std::optional<FileLock> lock(std::in_place, fx.path(TableLayout::special()),
                                     FileLock::Kind::Write);
        s.dialogs.answers << QMessageBox::No;
        s.form->close();
        QCOMPARE(s.endings, 0);
        QVERIFY(s.form->isVisible());
        QCOMPARE(s.messages().size(), 2);
        QVERIFY2(s.messages().at(1).startsWith(u"Some of what you typed in special.mdb is not "
                                               u"saved"_s),
                 qPrintable(s.messages().at(1)));
        lock.reset();
        s.form->close();
        QCOMPARE(s.endings, 1);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(0), u"not lost"_s);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
