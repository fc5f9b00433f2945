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
const QString description = u"Description"_s;
const QString yes = u"Yes"_s;
const QString enhance = u"Enhance Process"_s;
const QString second = u"2nd Question (Input)"_s;
const QString third = u"3rd Question (Input)"_s;

// The window, with the special-case tab's grid, model, cells and buttons at hand.
struct Window : EditorWindow {
    using EditorWindow::EditorWindow;

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
        Window w(fx);
        QCOMPARE(w.form->objectName(), u"Form1"_s);
        QCOMPARE(w.form->windowTitle(), u"Edit the Veyrath"_s);
        auto* tabs = w.form->findChild<QTabWidget*>(u"SSTab1"_s);
        QVERIFY(tabs);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{u"Non Random"_s, u"Random Single Line"_s,
                                        u"Random Split Line"_s, u"Special Case"_s}));
        QCOMPARE(w.form->currentTab(), Tab::Special);
        const QStringList buttons{u"&Add"_s, u"&Delete"_s, u"&Update"_s, u"&Sort"_s};
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(w.button(n)->text(), buttons.at(n - 1));
            QVERIFY(w.button(n)->isVisible());
            QCOMPARE(w.button(n)->size(), QSize(89, 25)); // as drawn, where the screen has room
        }
        QCOMPARE(w.button(2)->x() - w.button(1)->x(), 120);
        QCOMPARE(w.form->centralWidget()->size(), QSize(633, 396));
        QCOMPARE(w.form->grid(Tab::Double)->model()->columnCount(), 3);
        QCOMPARE(w.form->grid(Tab::Basic)->objectName(), u"TDBGrid1"_s);
        QCOMPARE(w.form->model(Tab::Control)->objectName(), u"Data2"_s);
        QCOMPARE(w.form->model(Tab::Control)->layout().fileName, u"control.mdb"_s);

        const QList<QAction*> menu = w.form->menuBar()->actions();
        // "&Exit" keeps its place, first and without a submenu; the author's tools come after.
        QCOMPARE(menu.size(), 4);
        QCOMPARE(menu.at(0)->objectName(), u"MNU_EXIT"_s);
        QCOMPARE(menu.at(0)->text(), u"&Exit"_s);
        QVERIFY(!menu.at(0)->menu());
        // No row is current at start, so nothing can be deleted or saved by mistake.
        QVERIFY(!w.button(2)->isEnabled());
        QVERIFY(!w.button(3)->isEnabled());
    }

    void editIsSavedWhenTheRowChanges()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Window w(fx);
        ScriptGrid* grid = w.form->grid(Tab::Control);
        const int note = EditorWindow::column(Tab::Control, description);
        QVERIFY(w.type(Tab::Control, 0, u"String"_s, u"a new line"_s));
        grid->setCurrentIndex(grid->model()->index(0, note));
        QCOMPARE(fx.column(TableLayout::control(), u"String"_s).at(0), u"control 1"_s);
        grid->setCurrentIndex(grid->model()->index(1, note));
        QCOMPARE(fx.column(TableLayout::control(), u"String"_s).at(0), u"a new line"_s);
        QVERIFY(w.messages().isEmpty());
    }

    void badCountIsRefusedAndKeptForCorrection()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Window w(fx);
        QVERIFY(w.type(Tab::Special, 1, yes, u"twice"_s));
        w.grid()->setCurrentIndex(w.cell(3, description));
        QCOMPARE(w.messages().size(), 1);
        QVERIFY2(w.messages().at(0).startsWith(u"special.mdb, row 2, field \"Yes\": "_s),
                 qPrintable(w.messages().at(0)));
        QTRY_COMPARE(w.grid()->currentIndex(), w.cell(1, yes));
        QTRY_COMPARE(w.grid()->viewport()->findChildren<QLineEdit*>().size(), 1);
        auto* editor = w.grid()->viewport()->findChild<QLineEdit*>();
        QCOMPARE(editor->text(), u"twice"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).at(1), QVariant(0));

        editor->setText(u"2"_s);
        w.button(3)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).at(1), QVariant(2));
    }

    void addKeepsTheCurrentRowAndAppends()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Window w(fx);
        w.grid()->setCurrentIndex(w.cell(1, description));
        w.button(1)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s),
                 (QVariantList{u"note 1"_s, u"note 2"_s, u"note 3"_s, u""_s}));
        QCOMPARE(w.model()->rowCount(), 4);
        QCOMPARE(w.grid()->currentIndex().row(), 1);
    }

    void deleteMakesTheNextRowCurrentOrNone()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Window w(fx);
        w.grid()->setCurrentIndex(w.cell(1, description));
        w.button(2)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s),
                 (QVariantList{u"note 1"_s, u"note 3"_s}));
        QCOMPARE(w.grid()->currentIndex().row(), 1);
        w.button(2)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s), QVariantList{u"note 1"_s});
        QVERIFY(!w.grid()->currentIndex().isValid());
        QVERIFY(!w.button(2)->isEnabled());
        QVERIFY(!w.button(3)->isEnabled());
    }

    void updateSavesAnOpenEditAtOnce()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 2);
        Window w(fx);
        QVERIFY(w.type(Tab::Special, 0, second, u"why?"_s));
        w.button(3)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"2nd Question (Input)"_s).at(0), u"why?"_s);
        QVERIFY(!w.model()->hasUnsavedEdits());
    }

    void editsTypedWhileTheFileIsLockedReachTheirOwnRows()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Window w(fx);
        std::optional<FileLock> lock(std::in_place, fx.path(TableLayout::special()),
                                     FileLock::Kind::Write);
        QVERIFY(w.type(Tab::Special, 0, description, u"typed in A"_s));
        w.grid()->setCurrentIndex(w.cell(1, description));
        QCOMPARE(w.messages().size(), 1);
        QVERIFY(w.type(Tab::Special, 2, second, u"typed in B"_s));
        w.grid()->setCurrentIndex(w.cell(1, description));
        QCOMPARE(w.cell(0, description).data().toString(), u"typed in A"_s);
        QCOMPARE(w.cell(2, second).data().toString(), u"typed in B"_s);
        QVERIFY(w.model()->isUnsaved(0) && w.model()->isUnsaved(2));
        lock.reset();
        QTRY_COMPARE(fx.column(TableLayout::special(), u"2nd Question (Input)"_s).at(2),
                     u"typed in B"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s),
                 (QVariantList{u"typed in A"_s, u"note 2"_s, u"note 3"_s}));
        QVERIFY(!w.model()->hasUnsavedEdits());
        QCOMPARE(w.messages().size(), 1);
        QVERIFY2(w.messages().at(0).startsWith(u"special.mdb, row 1: not saved"_s),
                 qPrintable(w.messages().at(0)));
    }

    void nullCellShowsNullAndClearsToEmptyText()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 2);
        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET Description = NULL, \"Enhance Process\" = NULL"_s);
        Window w(fx);
        QCOMPARE(w.cell(0, description).data().toString(), u"NULL"_s);
        // Backspace in a cell showing a null, then the command on another.
        w.grid()->setFocus();
        w.grid()->setCurrentIndex(w.cell(0, description));
        QTest::keyClick(w.grid(), Qt::Key_Backspace);
        w.grid()->setCurrentIndex(w.cell(1, enhance));
        QVERIFY(w.grid()->actions().contains(w.grid()->emptyTextAction()));
        w.grid()->emptyTextAction()->trigger();
        w.grid()->setCurrentIndex(w.cell(0, enhance));
        QCOMPARE(w.messages(), QStringList());
        const QVariantList notes = fx.column(TableLayout::special(), description);
        const QVariantList prompts = fx.column(TableLayout::special(), enhance);
        QVERIFY(!notes.at(0).isNull() && notes.at(0).toString().isEmpty());
        QVERIFY(!prompts.at(1).isNull() && prompts.at(1).toString().isEmpty());
        QVERIFY(notes.at(1).isNull() && prompts.at(0).isNull());
    }

    void untouchedLongCellIsLeftAsItIs()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 2);
        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET \"3rd Question (Input)\" = "
                   u"replace(hex(zeroblob(20000)), '0', 'x') WHERE ID = 1"_s);
        Window w(fx);
        const QLineEdit* editor = w.type(Tab::Special, 0, third, {});
        QVERIFY(editor);
        QCOMPARE(editor->text().size(), 40000);
        w.grid()->setCurrentIndex(w.cell(1, third));
        QCOMPARE(w.messages(), QStringList());
        QCOMPARE(
            fx.column(TableLayout::special(), u"3rd Question (Input)"_s).at(0).toString().size(),
            40000);
    }

    void othersChangesShowWithoutDisturbingTheAuthor_data() { ScriptFixture::addStores(); }
    void othersChangesShowWithoutDisturbingTheAuthor()
    {
        QFETCH(ScriptFixture::Store, store);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createNumbered(TableLayout::special(), 300);
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET \"Yes\" = \"ID\" % 10"_s);
        Window w(fx);
        w.button(4)->click();
        RecordModel* model = w.model();
        const QModelIndex cell = w.cell(151, u"Primary Question (Y/N)"_s);
        const QString row = w.cell(151, description).data().toString();
        const int count = w.cell(151, yes).data().toInt();
        w.grid()->scrollTo(cell, QAbstractItemView::PositionAtTop);
        QLineEdit* editor = w.type(w.grid(), 151, cell.column(), u"half typed"_s);
        QVERIFY(editor);
        w.grid()->selectionModel()->select(QItemSelection(w.cell(150, description), cell),
                                           QItemSelectionModel::Select);
        const QModelIndexList selected = w.grid()->selectionModel()->selectedIndexes();
        const int scroll = w.grid()->verticalScrollBar()->value();

        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET \"Yes\" = \"Yes\" + 1000, \"Primary Question (Y/N)\" = "
                   u"'theirs' WHERE \"Description\" = '%1'"_s.arg(row));
        QTRY_COMPARE(w.cell(151, yes).data().toInt(), count + 1000);
        QCOMPARE(w.cell(151, description).data().toString(), row);
        QCOMPARE(editor->text(), u"half typed"_s);
        QVERIFY(!editor->isHidden());
        QCOMPARE(w.grid()->currentIndex(), cell);
        QCOMPARE(w.grid()->selectionModel()->selectedIndexes(), selected);
        QCOMPARE(w.grid()->verticalScrollBar()->value(), scroll);

        // The edit began before their change arrived, so the author chooses.
        w.dialogs.answers << QMessageBox::Save;
        w.grid()->setCurrentIndex(w.cell(0, description));
        QCOMPARE(w.dialogs.messages.size(), 1);
        const Dialogs::Message& asked = w.dialogs.messages.at(0);
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
        Window w(fx);
        auto* tabs = w.form->findChild<QTabWidget*>(u"SSTab1"_s);
        tabs->setCurrentIndex(int(Tab::Basic));
        bool hiddenDuring = false;
        bool busyDuring = false;
        connect(w.model(), &QAbstractItemModel::modelAboutToBeReset, this, [&] {
            hiddenDuring = !w.form->isVisible();
            busyDuring = QGuiApplication::overrideCursor() &&
                         QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        w.button(4)->click();
        QVERIFY(hiddenDuring);
        QVERIFY(busyDuring);
        QVERIFY(w.form->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(w.form->currentTab(), Tab::Basic);
        QCOMPARE(w.cell(0, description).data().toString(), u"note 2"_s);
    }

    void failedSortStillShowsTheWindowAndTellsWhy()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Window w(fx);
        fx.execute(TableLayout::special(), u"ALTER TABLE Table1 RENAME TO Elsewhere"_s);
        w.button(4)->click();
        QVERIFY(w.form->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        QTRY_COMPARE(w.messages().size(), 1);
        QVERIFY2(w.messages().at(0).startsWith(u"special.mdb: the rows could not be sorted"_s),
                 qPrintable(w.messages().at(0)));
    }

    void missingFileIsExplainedInItsTab()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::basic(), 2);
        fx.createNumbered(TableLayout::control(), 2);
        fx.createNumbered(TableLayout::special(), 2);
        Window w(fx);
        QVERIFY(!w.form->grid(Tab::Double));
        auto* problem = w.form->findChild<QLabel*>(u"Problem3"_s);
        QVERIFY(problem);
        QVERIFY2(problem->text().startsWith(u"double.mdb: the file was not found"_s),
                 qPrintable(problem->text()));
        QCOMPARE(w.form->model(Tab::Basic)->rowCount(), 2);
        QCOMPARE(w.model()->rowCount(), 2);
    }

    void exitSavesAPendingEditShowsAboutAndEnds()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Window w(fx);
        QVERIFY(w.type(Tab::Special, 2, description, u"kept"_s));
        w.form->findChild<QAction*>(u"MNU_EXIT"_s)->trigger();
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(2), u"kept"_s);
        QCOMPARE(w.endings, 1);
        QVERIFY(w.form->about());
        QCOMPARE(w.form->about()->findChild<QLabel*>(u"Label1"_s)->text(), u"Edit the Veyrath"_s);
        QCOMPARE(w.form->about()->findChild<QLabel*>(u"Label2"_s)->text(),
                 u"Version 1.0  (32-bit)"_s);
        QVERIFY(!w.form->about()->findChild<QLabel*>(u"Image1"_s)->pixmap().isNull());
    }

    void windowsStayResponsiveDuringTheFarewell()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 1);
        Window w(fx);
        w.form->setFarewellTime(std::chrono::milliseconds(200));
        QTimer::singleShot(0, w.button(1), &QPushButton::click);
        w.form->findChild<QAction*>(u"MNU_EXIT"_s)->trigger();
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).size(), 2);
        QCOMPARE(w.endings, 1);
    }

    void closingSavesAndEndsWithoutAbout()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Window w(fx);
        QVERIFY(w.type(Tab::Basic, 1, u"String"_s, u"closing words"_s));
        w.form->close();
        QCOMPARE(fx.column(TableLayout::basic(), u"String"_s).at(1), u"closing words"_s);
        QCOMPARE(w.endings, 1);
        QVERIFY(!w.form->about());
    }

    void endingWithAnEditTheFileCannotTakeAsksFirst()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Window w(fx);
        QVERIFY(w.type(Tab::Special, 0, description, u"not lost"_s));
        std::optional<FileLock> lock(std::in_place, fx.path(TableLayout::special()),
                                     FileLock::Kind::Write);
        w.dialogs.answers << QMessageBox::No;
        w.form->close();
        QCOMPARE(w.endings, 0);
        QVERIFY(w.form->isVisible());
        QCOMPARE(w.messages().size(), 2);
        QVERIFY2(w.messages().at(1).startsWith(u"Some of what you typed in special.mdb is not "
                                               u"saved"_s),
                 qPrintable(w.messages().at(1)));
        lock.reset();
        w.form->close();
        QCOMPARE(w.endings, 1);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(0), u"not lost"_s);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
