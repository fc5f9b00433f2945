// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The editor's smaller guards: a paste is whole or nothing and keeps nulls, an undone Add asks
// before deleting what another program wrote, the view stays put, a save waits for a lock with
// the window answering, a full disk is named, and a cell takes no more than its field.
#include "editor/grid/CellTextDialog.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptTable.h"
#include "tests/support/EditorWindow.h"
#include "tests/support/FileLock.h"
#include "tests/support/ScriptFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString description = u"Description"_s;
const QString question = u"Primary Question (Y/N)"_s;
const QString copyFromGrid = u"(copied from the first row)"_s;

using Window = EditorWindow;
} // namespace

class TestEditorGuards : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pasteTakesEveryValueAsItIsOrNothing_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QVariantList>("notes");
        QTest::addColumn<QVariantList>("counts");
        const QVariantList notes{QVariant(QMetaType::fromType<QString>()), u"note 2"_s,
                                 u"note 3"_s};
        const QVariantList counts{0, 0, 0};
        QTest::newRow("more rows than below")
            << u"a\nb\nc\n"_s << 1 << description
            << u"special.mdb, row 2, field \"Description\": nothing was pasted, as the "
               u"clipboard holds 3 rows of 1 cell and from this cell on the grid has 2 rows"_s
            << notes << counts;
        QTest::newRow("null copied from the grid")
            << copyFromGrid << 2 << description << QString()
            << QVariantList{notes.at(0), u"note 2"_s, notes.at(0)} << counts;
        QTest::newRow("empty spreadsheet cell over a count")
            << u"x\t\n"_s << 1 << question
            << u"special.mdb, row 2, field \"Yes\": an empty cell is not a whole number"_s << notes
            << counts;
    }
    // Set to Null writes a null only where the runner takes one: a follow-up prompt it then
    // does not ask; a question it would pass over is refused in words.
    void setToNullOnlyWhereTheRunnerTakesIt_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("told");
        QTest::newRow("a follow-up prompt") << u"2nd Question (Input)"_s << QString();
        QTest::newRow("the question")
            << u"Primary Question (Y/N)"_s
            << u"special.mdb, row 2, field \"Primary Question (Y/N)\": the runner passes a case "
               u"over whose question is null"_s;
    }
    void setToNullOnlyWhereTheRunnerTakesIt()
    {
        QFETCH(QString, field);
        QFETCH(QString, told);
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        const QVariantList before = fx.column(TableLayout::special(), field);
        Window w(fx);
        w.grid()->setCurrentIndex(w.cell(1, field));
        w.trigger(u"MNU_SETNULL"_s);
        QCOMPARE(w.messages().size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) {
            QVERIFY2(w.messages().first().contains(told), qPrintable(w.messages().first()));
            QCOMPARE(fx.column(TableLayout::special(), field), before);
            return;
        }
        QVERIFY(fx.column(TableLayout::special(), field).at(1).isNull());
        w.trigger(u"MNU_UNDO"_s);
        QCOMPARE(fx.column(TableLayout::special(), field), before);
    }

    void pasteTakesEveryValueAsItIsOrNothing()
    {
        QFETCH(QString, clipboard);
        QFETCH(int, row);
        QFETCH(QString, field);
        QFETCH(QString, told);
        QFETCH(QVariantList, notes);
        QFETCH(QVariantList, counts);
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET Description = NULL WHERE ID = 1"_s);
        Window w(fx);
        if (clipboard == copyFromGrid) {
            w.grid()->setCurrentIndex(w.cell(0, description));
            w.trigger(u"MNU_COPY"_s);
        } else {
            QGuiApplication::clipboard()->setText(clipboard);
        }
        w.grid()->setCurrentIndex(w.cell(row, field));
        w.trigger(u"MNU_PASTE"_s);
        QCOMPARE(w.messages().size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty())
            QVERIFY2(w.messages().first().contains(told), qPrintable(w.messages().first()));
        QCOMPARE(fx.column(TableLayout::special(), description), notes);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s), counts);
    }

    void undoingAnAddAsksBeforeDeletingWhatOthersWrote_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("rowsLeft");
        QTest::newRow("delete all the same") << int(QMessageBox::Yes) << 3;
        QTest::newRow("keep it") << int(QMessageBox::No) << 4;
    }
    void undoingAnAddAsksBeforeDeletingWhatOthersWrote()
    {
        QFETCH(int, answer);
        QFETCH(int, rowsLeft);
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Window w(fx);
        w.form->findChild<QPushButton*>(u"Command1"_s)->click();
        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET Description = 'theirs' WHERE ID = 4"_s);
        w.dialogs.answers << answer;
        w.trigger(u"MNU_UNDO"_s);
        QCOMPARE(w.messages().size(), 1);
        QVERIFY2(w.messages().first().startsWith(u"special.mdb, row 4: another program wrote "
                                                 u"into this row since: \"Description\" now "
                                                 u"holds \"theirs\""_s),
                 qPrintable(w.messages().first()));
        QCOMPARE(fx.column(TableLayout::special(), description).size(), rowsLeft);
    }

    void rowsDeletedAboveStayOutOfSight()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 300);
        Window w(fx);
        w.grid()->scrollTo(w.cell(150, description), QAbstractItemView::PositionAtTop);
        const QString top = w.cell(w.grid()->rowAt(0), description).data().toString();
        fx.execute(TableLayout::special(), u"DELETE FROM Table1 WHERE ID <= 10"_s);
        QTRY_COMPARE(w.model()->rowCount(), 290);
        QCOMPARE(w.cell(w.grid()->rowAt(0), description).data().toString(), top);
    }

    void saveMeetingALockIsWrittenOnceTheFileIsFree_data()
    {
        QTest::addColumn<int>("heldMs");
        QTest::addColumn<int>("told");
        QTest::newRow("freed during the wait") << 300 << 0;
        // Told after the wait, and written while the message is still being read.
        QTest::newRow("held past the wait") << -1 << 1;
    }
    void saveMeetingALockIsWrittenOnceTheFileIsFree()
    {
        QFETCH(int, heldMs);
        QFETCH(int, told);
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Window w(fx);
        std::optional<FileLock> lock(std::in_place, fx.path(TableLayout::special()),
                                     FileLock::Kind::Write);
        bool busyMeanwhile = false;
        if (heldMs >= 0) {
            QTimer::singleShot(heldMs, w.form.get(), [&] {
                busyMeanwhile = QGuiApplication::overrideCursor() &&
                                QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
                lock.reset();
            });
        }
        w.dialogs.whileShown = [&](const QString&) {
            lock.reset();
            QTRY_COMPARE(fx.column(TableLayout::special(), description).at(0), u"mine"_s);
        };
        QVERIFY(w.type(Tab::Special, 0, description, u"mine"_s));
        w.grid()->setCurrentIndex(w.cell(1, description));
        QCOMPARE(w.messages().size(), told);
        QCOMPARE(busyMeanwhile, heldMs >= 0);
        QCOMPARE(fx.column(TableLayout::special(), description).at(0), u"mine"_s);
        QTRY_VERIFY(!w.model()->hasUnsavedEdits());
    }

    void fullDiskIsToldWithWhatToDo()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 40);
        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET \"2nd Question (Input)\" = printf('%.200c', 'q')"_s);
        Window w(fx);
        // The disk as full as the file is: no page more.
        QSqlQuery count(u"PRAGMA page_count"_s, w.model()->table().database());
        QVERIFY(count.next());
        QSqlQuery(w.model()->table().database())
            .exec(u"PRAGMA max_page_count = %1"_s.arg(count.value(0).toInt()));
        for (int row = 0; row < 40; ++row)
            QVERIFY(w.model()->setData(w.cell(row, description), QString(255, u'd')));
        QVERIFY(!w.model()->savePending());
        QCOMPARE(w.messages().size(), 1);
        QVERIFY2(w.messages().first().contains(u"free some space on the disk"_s),
                 qPrintable(w.messages().first()));
    }

    void cellTakesNoMoreThanItsFieldAndCountsAsTyped()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 2);
        Window w(fx);
        QLineEdit* editor = w.type(Tab::Special, 0, question, u""_s);
        QVERIFY(editor);
        QTest::keyClicks(editor, QString(260, u'w'));
        QCOMPARE(editor->text().size(), 255);
        auto* status = w.form->findChild<QLabel*>(u"CellStatus"_s);
        QVERIFY2(status->text().startsWith(u"255 characters"_s), qPrintable(status->text()));
        QCOMPARE(status->text().count(u"the field takes no more"_s), 1);

        // The window for one cell names its field first, where a narrow title bar keeps it.
        w.grid()->setCurrentIndex(w.cell(1, u"4th Question (Input)"_s));
        w.trigger(u"EditInWindow"_s);
        auto* dialog = w.form->findChild<CellTextDialog*>();
        QVERIFY(dialog);
        QVERIFY2(dialog->windowTitle().startsWith(u"4th Question (Input)"_s),
                 qPrintable(dialog->windowTitle()));
    }
};

QTEST_MAIN(TestEditorGuards)
#include "tst_editorguards.moc"
