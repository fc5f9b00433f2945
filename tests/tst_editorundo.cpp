// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "tests/support/EditorWindow.h"
#include "tests/support/ScriptFixture.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
struct Window : EditorWindow {
    using EditorWindow::EditorWindow;
    ~Window() override { form->close(); }

    // Edits a cell as the author does and saves it by leaving the row.
    void edit(Tab tab, int row, const QString& field, const QString& text) const
    {
        ScriptGrid* grid = form->grid(tab);
        const int column = EditorWindow::column(tab, field);
        grid->setCurrentIndex(grid->model()->index(row, column));
        QVERIFY(grid->model()->setData(grid->model()->index(row, column), text));
        grid->setCurrentIndex(grid->model()->index(row == 0 ? 1 : 0, column));
    }
};

QVariantList row(const ScriptFixture& fx, const TableLayout& layout, int at)
{
    QVariantList values;
    for (const QString& column : layout.columns)
        values << fx.column(layout, column).at(at);
    return values;
}
} // namespace

class TestEditorUndo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void undoneDeleteComesBackWithItsIdAndValues_data() { ScriptFixture::addStores(); }
    void undoneDeleteComesBackWithItsIdAndValues()
    {
        QFETCH(ScriptFixture::Store, store);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createFullScript();
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET \"Yes\" = 9, \"Description\" = "
                                           u"NULL WHERE \"ID\" = 3"_s);
        Window w(fx);
        const QVariantList before = row(fx, TableLayout::special(), 2);
        ScriptGrid* grid = w.form->grid(Tab::Special);
        const int question = EditorWindow::column(Tab::Special, u"Primary Question (Y/N)"_s);
        grid->setCurrentIndex(grid->model()->index(2, question));
        w.form->findChild<QPushButton*>(u"Command2"_s)->click();
        QCOMPARE(fx.column(TableLayout::special(), u"ID"_s).size(), 5);

        w.trigger(u"MNU_UNDO"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"ID"_s), (QVariantList{1, 2, 3, 4, 5, 6}));
        QCOMPARE(row(fx, TableLayout::special(), 2), before);
        QCOMPARE(grid->model()->headerData(2, Qt::Vertical).toString(), u"3"_s);
        QCOMPARE(grid->model()->index(2, question).data().toString(),
                 u"Primary Question (Y/N) 3"_s);

        w.trigger(u"MNU_REDO"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"ID"_s), (QVariantList{1, 2, 4, 5, 6}));
        QVERIFY(w.dialogs.asked.isEmpty());
    }

    void undoingAnEditLeavesWhatOthersChanged_data()
    {
        QTest::addColumn<ScriptFixture::Store>("store");
        QTest::addColumn<QString>("theirs");
        QTest::addColumn<QVariant>("description");
        QTest::addColumn<QVariant>("yes");
        QTest::addColumn<bool>("told");
        for (const auto store : {ScriptFixture::Store::Folder, ScriptFixture::Store::Server}) {
            const char* where = store == ScriptFixture::Store::Server ? "server" : "folder";
            // The runner counting a reply meanwhile does not stop the edit being undone.
            QTest::addRow("%s: count", where)
                << store << u"UPDATE Table1 SET \"Yes\" = \"Yes\" + 5 WHERE \"ID\" = 1"_s
                << QVariant(u"note 1"_s) << QVariant(5) << false;
            // Another program's text in the same field is not written over.
            QTest::addRow("%s: same field", where)
                << store << u"UPDATE Table1 SET \"Description\" = 'theirs' WHERE \"ID\" = 1"_s
                << QVariant(u"theirs"_s) << QVariant(0) << true;
        }
    }

    void undoingAnEditLeavesWhatOthersChanged()
    {
        QFETCH(ScriptFixture::Store, store);
        QFETCH(QString, theirs);
        QFETCH(QVariant, description);
        QFETCH(QVariant, yes);
        QFETCH(bool, told);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createFullScript();
        Window w(fx);
        w.edit(Tab::Special, 0, u"Description"_s, u"mine"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(0), u"mine"_s);
        fx.execute(TableLayout::special(), theirs);

        w.trigger(u"MNU_UNDO"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(0), description);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).at(0), yes);
        QCOMPARE(w.dialogs.asked.size(), told ? 1 : 0);
        if (told) {
            QVERIFY(w.dialogs.asked.first().startsWith(fx.name(TableLayout::special()) +
                                                       u", row 1, field \"Description\": "_s));
            // A step that could not be undone leaves the history rather than waiting there.
            QCOMPARE(w.form->undoStack().count(), 0);
        } else {
            QVERIFY(w.form->undoStack().canRedo());
        }
    }

    // A step is undone only in the file it was done in: after the file was replaced and the
    // author opened the new one, the step is told and left out, even where the new file holds
    // what the step wrote.
    void stepsAreNeverUndoneInAFileOpenedAfresh_data()
    {
        QTest::addColumn<bool>("replaceAll");
        QTest::addColumn<QString>("after"); // the step's work, as the new file holds it too
        QTest::addColumn<QVariantList>("descriptions");
        QTest::newRow("an edit") << false
                                 << u"UPDATE Table1 SET Description = 'mine' WHERE ID = 1"_s
                                 << QVariantList{u"mine"_s, u"note 2"_s, u"note 3"_s};
        QTest::newRow("Replace All")
            << true << u"UPDATE Table1 SET Description = replace(Description, 'note', 'memo')"_s
            << QVariantList{u"memo 1"_s, u"memo 2"_s, u"memo 3"_s};
    }
    void stepsAreNeverUndoneInAFileOpenedAfresh()
    {
        QFETCH(bool, replaceAll);
        QFETCH(QString, after);
        QFETCH(QVariantList, descriptions);
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        ScriptFixture elsewhere;
        elsewhere.createNumbered(TableLayout::special(), 3);
        elsewhere.execute(TableLayout::special(), after);
        Window w(fx);
        if (replaceAll) {
            w.trigger(u"MNU_REPLACE"_s);
            auto* dialog = w.form->findChild<QDialog*>(u"FindDialog"_s);
            QVERIFY(dialog);
            dialog->findChild<QLineEdit*>(u"FindText"_s)->setText(u"note"_s);
            dialog->findChild<QLineEdit*>(u"ReplaceText"_s)->setText(u"memo"_s);
            dialog->findChild<QPushButton*>(u"ReplaceAll"_s)->click();
            dialog->close();
        } else {
            w.edit(Tab::Special, 0, u"Description"_s, u"mine"_s);
        }
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s), descriptions);

        w.dialogs.answers << QMessageBox::Open;
        QVERIFY(::rename(QFile::encodeName(elsewhere.path(TableLayout::special())),
                         QFile::encodeName(fx.path(TableLayout::special()))) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(w.messages().size(), 1, 5000);
        w.trigger(u"MNU_UNDO"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s), descriptions);
        QCOMPARE(w.messages().size(), 2);
        QVERIFY2(w.messages().last().contains(u"opened afresh since this step"_s),
                 qPrintable(w.messages().last()));
    }

    void undoingAnAddOtherProgramsDeletedIsTold()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Window w(fx);
        w.form->findChild<QPushButton*>(u"Command1"_s)->click();
        fx.execute(TableLayout::special(), u"DELETE FROM Table1 WHERE ID = 7"_s);
        w.trigger(u"MNU_UNDO"_s);
        QCOMPARE(w.dialogs.asked.size(), 1);
        QVERIFY(w.dialogs.asked.first().contains(u"ID 7"_s));
        QCOMPARE(w.form->undoStack().count(), 0);
        QCOMPARE(w.form->model(Tab::Special)->rowCount(), 6);
    }

    void pasteOfSeveralCellsIsOneStep_data() { ScriptFixture::addStores(); }
    void pasteOfSeveralCellsIsOneStep()
    {
        QFETCH(ScriptFixture::Store, store);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createFullScript();
        Window w(fx);
        ScriptGrid* grid = w.form->grid(Tab::Control);
        const int note = EditorWindow::column(Tab::Control, u"Description"_s);
        const int line = EditorWindow::column(Tab::Control, u"String"_s);
        w.form->goToCell(Tab::Control, 3, note);
        // As a spreadsheet writes cells holding a tab, a quote and a line break.
        QGuiApplication::clipboard()->setText(
            u"a\t\"tab\there\"\n\"say \"\"hi\"\"\"\t\"two\nlines\"\n"_s);
        w.trigger(u"MNU_PASTE"_s);
        QCOMPARE(fx.column(TableLayout::control(), u"Description"_s).mid(3, 2),
                 (QVariantList{u"a"_s, u"say \"hi\""_s}));
        QCOMPARE(fx.column(TableLayout::control(), u"String"_s).mid(3, 2),
                 (QVariantList{u"tab\there"_s, u"two\nlines"_s}));

        grid->selectionModel()->select(
            QItemSelection(grid->model()->index(3, note), grid->model()->index(4, line)),
            QItemSelectionModel::ClearAndSelect);
        w.trigger(u"MNU_COPY"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 u"a\t\"tab\there\"\n\"say \"\"hi\"\"\"\t\"two\nlines\"\n"_s);

        w.trigger(u"MNU_UNDO"_s);
        QCOMPARE(fx.column(TableLayout::control(), u"Description"_s).mid(3, 2),
                 (QVariantList{u"note 4"_s, u"note 5"_s}));
        QCOMPARE(fx.column(TableLayout::control(), u"String"_s).mid(3, 2),
                 (QVariantList{u"control 4"_s, u"control 5"_s}));
        QVERIFY(!w.form->undoStack().canUndo());

        // A count a field cannot take stops the whole paste, named.
        w.form->goToCell(Tab::Special, 0, EditorWindow::column(Tab::Special, u"Yes"_s));
        QGuiApplication::clipboard()->setText(u"7\tx\nabc\ty\n"_s);
        w.trigger(u"MNU_PASTE"_s);
        QCOMPARE(w.dialogs.asked.size(), 1);
        QVERIFY2(w.dialogs.asked.first().contains(fx.name(TableLayout::special()) +
                                                  u", row 2, field \"Yes\""_s),
                 qPrintable(w.dialogs.asked.first()));
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).mid(0, 2), (QVariantList{0, 0}));
        QCOMPARE(fx.column(TableLayout::special(), u"Enhance Process"_s).at(0),
                 u"Enhance Process 1"_s);
        QVERIFY(!w.form->undoStack().canUndo());
    }
};

QTEST_MAIN(TestEditorUndo)
#include "tst_editorundo.moc"
