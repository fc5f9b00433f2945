// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "script/CellSearch.h"
#include "script/ScriptTable.h"
#include "tests/support/EditorWindow.h"
#include "tests/support/FileLock.h"
#include "tests/support/ScriptFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {
struct Window : EditorWindow {
    using EditorWindow::EditorWindow;
    ~Window() override { form->close(); }

    QDialog* openFind(const QString& how, const QString& text) const
    {
        trigger(how);
        auto* dialog = form->findChild<QDialog*>(u"FindDialog"_s);
        if (dialog)
            dialog->findChild<QLineEdit*>(u"FindText"_s)->setText(text);
        return dialog;
    }
    std::tuple<Tab, int, int> current() const
    {
        const QModelIndex cell = form->currentCell();
        return {form->currentTab(), cell.row(), cell.column()};
    }
};

void setText(const ScriptFixture& fx, const TableLayout& layout, const QString& column, int id,
             const QString& text)
{
    fx.execute(layout,
               u"UPDATE Table1 SET \"%1\" = '%2' WHERE \"ID\" = %3"_s.arg(column, text).arg(id));
}
} // namespace

class TestFindReplace : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each store narrows the search in its own words; what is found is the same.
    void searchFindsWhatTheDatabaseCannotFoldItself_data()
    {
        QTest::addColumn<ScriptFixture::Store>("store");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeCell");
        QTest::addColumn<QList<qint64>>("rows");
        for (const auto store : {ScriptFixture::Store::Folder, ScriptFixture::Store::Server}) {
            const char* where = store == ScriptFixture::Store::Server ? "server" : "folder";
            const auto row = [&](const char* name) -> QTestData& {
                return QTest::addRow("%s: %s", where, name) << store;
            };
            row("any case") << u"HELLO"_s << false << false << QList<qint64>{1, 2};
            row("its case") << u"Hello"_s << true << false << QList<qint64>{1};
            row("not ASCII") << u"\u00e9T\u00c9"_s << false << false << QList<qint64>{3};
            row("outside the BMP") << u"\U0001D11E clef"_s << false << false << QList<qint64>{6};
            row("whole cell") << u"\u00c9T\u00c9"_s << false << true << QList<qint64>{3};
            row("wildcards are text") << u"5_%"_s << false << false << QList<qint64>{4};
            row("nothing") << QString() << false << false << QList<qint64>{};
        }
    }

    void searchFindsWhatTheDatabaseCannotFoldItself()
    {
        QFETCH(ScriptFixture::Store, store);
        QFETCH(QString, text);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeCell);
        QFETCH(QList<qint64>, rows);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.create(TableLayout::basic(), {{u"x"_s, u"Hello there"_s},
                                         {u"x"_s, u"say hello"_s},
                                         {u"x"_s, u"\u00e9t\u00e9"_s},
                                         {u"x"_s, u"5_% off"_s},
                                         {u"x"_s, u"55 off"_s},
                                         {u"x"_s, u"\U0001D11E CLEF"_s}});
        const auto table = ScriptTable::open(fx.dir(), TableLayout::basic());
        const CellSearch::Options options{text, matchCase, wholeCell};
        QList<qint64> found;
        for (const CellSearch::Match& match : CellSearch::find(*table, options))
            found << match.id;
        QCOMPARE(found, rows);
        // Found one at a time, from either end, the same.
        QList<qint64> forward;
        for (auto m = CellSearch::next(*table, options, 0, 0, true); m;
             m = CellSearch::next(*table, options, m->id, m->column, true))
            forward << m->id;
        QCOMPARE(forward, rows);
        QList<qint64> backward;
        for (auto m = CellSearch::next(*table, options, 100, 0, false); m;
             m = CellSearch::next(*table, options, m->id, m->column, false))
            backward.prepend(m->id);
        QCOMPARE(backward, rows);
    }

    void findGoesRoundTheTabsAndSaysWhenItWraps_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("firstWraps");
        QTest::addColumn<bool>("sorted");
        QTest::newRow("next") << u"MNU_FINDNEXT"_s << true << false;
        QTest::newRow("previous") << u"MNU_FINDPREVIOUS"_s << false << false;
        // Sorted by count, rows are found in the order shown, not the file'w.
        QTest::newRow("next, sorted") << u"MNU_FINDNEXT"_s << true << true;
        QTest::newRow("previous, sorted") << u"MNU_FINDPREVIOUS"_s << false << true;
    }

    void findGoesRoundTheTabsAndSaysWhenItWraps()
    {
        QFETCH(QString, action);
        QFETCH(bool, firstWraps);
        QFETCH(bool, sorted);
        ScriptFixture fx;
        fx.createFullScript();
        setText(fx, TableLayout::basic(), u"String"_s, 2, u"a Needle here"_s);
        setText(fx, TableLayout::special(), u"2nd Question (Input)"_s, 5, u"the needle"_s);
        setText(fx, TableLayout::special(), u"3rd Question (Input)"_s, 2, u"needle"_s);
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = ID"_s);
        Window w(fx);
        if (sorted)
            w.form->sortRecords();
        // The special matches as shown: IDs 2 then 5, or most confirmed first, 5 then 2.
        using Place = std::tuple<Tab, int, int>;
        const int second = EditorWindow::column(Tab::Special, u"2nd Question (Input)"_s);
        const int third = EditorWindow::column(Tab::Special, u"3rd Question (Input)"_s);
        const Place first = sorted ? Place{Tab::Special, 1, second} : Place{Tab::Special, 1, third};
        const Place last = sorted ? Place{Tab::Special, 4, third} : Place{Tab::Special, 4, second};
        const Place basic{Tab::Basic, 1, EditorWindow::column(Tab::Basic, u"String"_s)};
        const bool forward = firstWraps;
        const QList<Place> expected =
            forward ? QList<Place>{basic, first, last} : QList<Place>{first, basic, last};
        w.form->goToCell(Tab::Special, std::get<1>(last), std::get<2>(last));
        QVERIFY(w.openFind(u"MNU_FIND"_s, u"needle"_s));

        for (int i = 0; i < 3; ++i) {
            w.trigger(action);
            QCOMPARE(w.current(), expected.at(i));
            const bool wraps = forward ? i == 0 : i == 2;
            QCOMPARE(w.form->statusBar()->currentMessage().startsWith(u"Passed the"_s), wraps);
        }

        // Its case and the whole cell, when asked, must match too.
        auto* dialog = w.form->findChild<QDialog*>(u"FindDialog"_s);
        dialog->findChild<QCheckBox*>(u"MatchCase"_s)->setChecked(true);
        w.trigger(action);
        QCOMPARE(w.current(), first);
        dialog->findChild<QCheckBox*>(u"WholeCell"_s)->setChecked(true);
        w.trigger(action);
        QCOMPARE(w.current(), sorted ? last : first); // "needle" alone: the row with ID 2
        QVERIFY(w.dialogs.asked.isEmpty());
    }

    void replaceAllIsOneStepAcrossTabs()
    {
        ScriptFixture fx;
        fx.createFullScript();
        setText(fx, TableLayout::basic(), u"String"_s, 1, u"the cat sat"_s);
        setText(fx, TableLayout::control(), u"String"_s, 50, u"Cat"_s);
        setText(fx, TableLayout::special(), u"Description"_s, 3, u"cat and cat"_s);
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = 4 WHERE ID = 3"_s);
        Window w(fx);
        QDialog* dialog = w.openFind(u"MNU_REPLACE"_s, u"cat"_s);
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>(u"ReplaceText"_s)->setText(u"dog"_s);
        dialog->findChild<QPushButton*>(u"ReplaceAll"_s)->click();
        QCOMPARE(fx.column(TableLayout::basic(), u"String"_s).at(0), u"the dog sat"_s);
        QCOMPARE(fx.column(TableLayout::control(), u"String"_s).at(49), u"dog"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(2), u"dog and dog"_s);
        QCOMPARE(w.form->model(Tab::Special)
                     ->index(2, EditorWindow::column(Tab::Special, u"Description"_s))
                     .data()
                     .toString(),
                 u"dog and dog"_s);
        QCOMPARE(w.form->undoStack().count(), 1);

        fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = 5 WHERE ID = 3"_s);
        w.trigger(u"MNU_UNDO"_s);
        QCOMPARE(fx.column(TableLayout::basic(), u"String"_s).at(0), u"the cat sat"_s);
        QCOMPARE(fx.column(TableLayout::control(), u"String"_s).at(49), u"Cat"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(2), u"cat and cat"_s);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).at(2), QVariant(5));
        QVERIFY(!w.form->undoStack().canUndo());
        QVERIFY(w.dialogs.asked.isEmpty());
    }

    // A field is checked as the replacement leaves it: one it would make too long stops the
    // whole replacement, but one it leaves no longer than it was is replaced like any other.
    void replaceAllRefusesOnlyTextsItWouldMakeTooLong_data()
    {
        QTest::addColumn<QString>("longText");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("grows past the limit")
            << QString(TableLayout::maxTextLength - 3, u'x') + u"cat"_s << u"lion"_s << false;
        QTest::newRow("over-long, shortened") << QString(1000, u'x') + u"cat"_s << u"ox"_s << true;
    }

    void replaceAllRefusesOnlyTextsItWouldMakeTooLong()
    {
        QFETCH(QString, longText);
        QFETCH(QString, replacement);
        QFETCH(bool, replaced);
        ScriptFixture fx;
        fx.createFullScript();
        setText(fx, TableLayout::special(), u"Description"_s, 3, u"cat"_s);
        setText(fx, TableLayout::doubles(), u"String #2"_s, 7, longText);
        Window w(fx);
        QDialog* dialog = w.openFind(u"MNU_REPLACE"_s, u"cat"_s);
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>(u"ReplaceText"_s)->setText(replacement);
        dialog->findChild<QPushButton*>(u"ReplaceAll"_s)->click();
        const QString longAfter = QString(longText).replace(u"cat"_s, replacement);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(2),
                 replaced ? replacement : u"cat"_s);
        QCOMPARE(fx.column(TableLayout::doubles(), u"String #2"_s).at(6),
                 replaced ? longAfter : longText);
        QCOMPARE(w.form->undoStack().count(), replaced ? 1 : 0);
        QCOMPARE(w.dialogs.asked.size(), replaced ? 0 : 1);
        if (!replaced)
            QVERIFY(w.dialogs.asked.first().contains(u"double.mdb, row 7, field \"String #2\""_s));
    }

    // The runner counting Yes replies in another process all the while loses no count, and
    // the replacement and its undo lose no field.
    void replaceAllBesideACountingRunnerKeepsEveryCountAndField()
    {
        ScriptFixture fx;
        constexpr int rows = 3000;
        constexpr int counts = 150;
        fx.createNumbered(TableLayout::special(), rows);
        Window w(fx);
        const QStringList prompts{u"2nd Question (Input)"_s, u"3rd Question (Input)"_s,
                                  u"4th Question (Input)"_s};
        const auto everyPromptReads = [&](const QString& word) {
            for (const QString& prompt : prompts) {
                const QVariantList texts = fx.column(TableLayout::special(), prompt);
                for (int k = 1; k <= rows; ++k) {
                    if (texts.at(k - 1) !=
                        QString(prompt).replace(u"Question"_s, word) + u' ' + QString::number(k))
                        return false;
                }
            }
            return true;
        };
        const auto countedBeside = [&](const std::function<void()>& work) {
            QProcess counter;
            counter.start(QStringLiteral(SPECIAL_COUNTER), {fx.dir(), QString::number(counts)});
            QVERIFY(counter.waitForStarted());
            work();
            QVERIFY(counter.state() == QProcess::NotRunning || counter.waitForFinished(60000));
            QVERIFY2(counter.exitCode() == 0, counter.readAllStandardError().constData());
        };

        QDialog* dialog = w.openFind(u"MNU_REPLACE"_s, u"Question"_s);
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>(u"ReplaceText"_s)->setText(u"Query"_s);
        countedBeside([&] { dialog->findChild<QPushButton*>(u"ReplaceAll"_s)->click(); });
        QVERIFY(everyPromptReads(u"Query"_s));
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).at(0), QVariant(counts));

        countedBeside([&] { w.trigger(u"MNU_UNDO"_s); });
        QVERIFY(everyPromptReads(u"Question"_s));
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).at(0), QVariant(2 * counts));
        QVERIFY(w.dialogs.asked.isEmpty());
    }

    // Escape stops a replacement that waits for a file another program holds, and then
    // nothing is replaced and there is nothing to undo.
    void stoppedReplaceAllChangesNothing()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Window w(fx);
        QDialog* dialog = w.openFind(u"MNU_REPLACE"_s, u"Question"_s);
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>(u"ReplaceText"_s)->setText(u"Query"_s);
        const QVariantList before = fx.column(TableLayout::special(), u"2nd Question (Input)"_s);
        {
            const FileLock lock(fx.path(TableLayout::special()), FileLock::Kind::Write);
            // As the author does once the progress shows how long it waits.
            QTimer escape;
            connect(&escape, &QTimer::timeout, this, [&] {
                for (auto* progress : w.form->findChildren<QProgressDialog*>()) {
                    if (progress->isVisible() && progress->labelText().startsWith(u"Replacing"_s))
                        QTest::keyClick(progress, Qt::Key_Escape);
                }
            });
            escape.start(20);
            dialog->findChild<QPushButton*>(u"ReplaceAll"_s)->click();
        }
        QCOMPARE(w.form->statusBar()->currentMessage(),
                 u"Replace All stopped; nothing was replaced."_s);
        QCOMPARE(fx.column(TableLayout::special(), u"2nd Question (Input)"_s), before);
        QCOMPARE(w.form->undoStack().count(), 0);
        QVERIFY(w.dialogs.asked.isEmpty());
    }
};

QTEST_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
