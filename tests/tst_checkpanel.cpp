// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/commands/CheckPanel.h"
#include "editor/commands/SpeakCommand.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptCheck.h"
#include "tests/support/EditorWindow.h"
#include "tests/support/ScriptFixture.h"
#include "voice/SpeechVoice.h"
#include "windowkit/WindowKit.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QThreadPool>

using namespace Qt::Literals::StringLiterals;

namespace {
// The window with its check panel at hand.
struct Window : EditorWindow {
    using EditorWindow::EditorWindow;

    CheckPanel* panel() { return form->checkPanel(); }
    QListWidget* list() { return panel()->findChild<QListWidget*>(u"CheckFindings"_s); }
    QStringList listed()
    {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i)
            texts << list()->item(i)->text();
        return texts;
    }

    // Opens the panel as the author does, and waits for the check it starts.
    bool openPanel()
    {
        QSignalSpy checked(panel(), &CheckPanel::checked);
        if (!QTest::qWaitForWindowActive(form.get()))
            return false;
        QTest::keyClick(form.get(), Qt::Key_F7);
        return panel()->isVisible() && checked.wait();
    }
};

// What an engine was given to say, told on the window's thread.
class Heard final : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void said(const QString&); // unnamed: moc defines it in this file under names of its own
};

// Says nothing, and tells `heard` what it was given.
class ListeningEngine final : public SpeechEngine {
public:
    explicit ListeningEngine(Heard* heard)
        : m_heard(heard)
    {
    }
    State state() const override { return State::Ready; }
    QString errorString() const override { return {}; }
    void say(const QString& text) override
    {
        QMetaObject::invokeMethod(m_heard, [heard = m_heard, text] { Q_EMIT heard->said(text); });
    }
    void stop() override {}

private:
    Heard* m_heard;
};

QStringList messages(const QList<ScriptFinding>& findings)
{
    QStringList texts;
    for (const ScriptFinding& finding : findings)
        texts << finding.message();
    return texts;
}

// Every special row counted ten times its ID, so that a sort turns the order round.
void createSpecialCounted(const ScriptFixture& fx)
{
    QList<QVariantList> rows;
    for (int k = 1; k <= 6; ++k) {
        QVariantList row = ScriptFixture::numberedRow(TableLayout::special(), k);
        row[EditorWindow::column(Tab::Special, TableLayout::countColumn())] = k * 10;
        rows << row;
    }
    fx.create(TableLayout::special(), rows);
}
} // namespace

class TestCheckPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listsWhatTheCheckFinds()
    {
        ScriptFixture fx;
        fx.createFullScript();
        fx.execute(TableLayout::control(), u"UPDATE Table1 SET String = NULL WHERE ID = 41"_s);
        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET \"Primary Question (Y/N)\" = '' WHERE ID = 2"_s);
        fx.writeBytes(TableLayout::doubles(), "not a script");
        Window w(fx);
        QVERIFY(w.openPanel());

        const QList<ScriptFinding> expected = ScriptCheck::run(fx.dir());
        QCOMPARE(expected.size(), 3);
        QCOMPARE(w.listed(), messages(expected));
        const auto* summary = w.panel()->findChild<QLabel*>(u"CheckSummary"_s);
        QVERIFY(summary->text().startsWith(u"2 errors and 1 warning in "_s));
    }

    // A check of a large file is still running when the author closes the window: it ends
    // with the window, not later on its own over a folder that may be gone by then.
    void aCheckRunningWhenTheWindowClosesEndsWithIt()
    {
        ScriptFixture fx;
        fx.createFullScript();
        fx.execute(TableLayout::special(),
                   u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                   u"WHERE i < 200000) INSERT INTO Table1 (Description, \"Primary Question "
                   u"(Y/N)\", Yes) SELECT 'Row ' || i, 'Is it ' || i || '?', 0 FROM n"_s);
        {
            Window w(fx);
            QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
            QTest::keyClick(w.form.get(), Qt::Key_F7);
            QVERIFY(w.panel()->isVisible());
        }
        QVERIFY(QThreadPool::globalInstance()->waitForDone(100));
    }

    void choosingAFindingShowsItsCell_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<QString>("finding");
        QTest::addColumn<Tab>("tab");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("description"); // of the row shown, or none for a file

        QTest::newRow("control row")
            << false << u"control.mdb:41:String"_s << Tab::Control
            << EditorWindow::column(Tab::Control, u"String"_s) << u"note 41"_s;
        // The finding counts rows in ID order; the sorted grid shows ID 2 fifth.
        QTest::newRow("special after sort")
            << true << u"special.mdb:2:Primary Question (Y/N)"_s << Tab::Special
            << EditorWindow::column(Tab::Special, u"Primary Question (Y/N)"_s) << u"note 2"_s;
        QTest::newRow("whole file")
            << false << u"basic.mdb: error"_s << Tab::Basic << -1 << QString();
    }

    void choosingAFindingShowsItsCell()
    {
        QFETCH(bool, sorted);
        QFETCH(QString, finding);
        QFETCH(Tab, tab);
        QFETCH(int, column);
        QFETCH(QString, description);

        ScriptFixture fx;
        fx.createFullScript();
        QFile::remove(fx.path(TableLayout::special()));
        createSpecialCounted(fx);
        fx.execute(TableLayout::control(), u"UPDATE Table1 SET String = NULL WHERE ID = 41"_s);
        fx.execute(TableLayout::special(),
                   u"UPDATE Table1 SET \"Primary Question (Y/N)\" = '' WHERE ID = 2"_s);
        fx.writeBytes(TableLayout::basic(), "not a script");
        Window w(fx);
        if (sorted)
            w.form->sortRecords();
        QVERIFY(w.openPanel());

        const QList<QListWidgetItem*> items = w.list()->findItems(finding, Qt::MatchStartsWith);
        QCOMPARE(items.size(), 1);
        w.list()->scrollToItem(items.first());
        const QPoint at = w.list()->visualItemRect(items.first()).center();
        // A double-click as the system delivers it: a click, then the second press.
        QTest::mouseClick(w.list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w.list()->viewport(), Qt::LeftButton, {}, at);

        QCOMPARE(w.form->currentTab(), tab);
        const QModelIndex cell = w.form->currentCell();
        if (description.isNull()) {
            QVERIFY(!cell.isValid());
            return;
        }
        QCOMPARE(cell.column(), column);
        QCOMPARE(cell.siblingAtColumn(0).data().toString(), description);
    }

    // The last row of a tab has no row below to move to: what is typed there is saved as
    // the author turns to another tab or to the panel, and the panel never calls it empty.
    void lastRowTypedIsSavedOnLeavingItsTab_data()
    {
        QTest::addColumn<bool>("byPanel");
        QTest::newRow("another tab") << false;
        QTest::newRow("the check panel") << true;
    }
    void lastRowTypedIsSavedOnLeavingItsTab()
    {
        QFETCH(bool, byPanel);
        ScriptFixture fx;
        fx.createFullScript();
        fx.execute(TableLayout::basic(), u"UPDATE Table1 SET String = '' WHERE ID = 22"_s);
        Window w(fx);
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        w.form->goToCell(Tab::Basic, 21, EditorWindow::column(Tab::Basic, u"String"_s));
        QLineEdit* editor = w.type(Tab::Basic, 21, u"String"_s, u"Goodbye for now"_s);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        if (byPanel) {
            QVERIFY(w.openPanel());
            QVERIFY2(w.listed().isEmpty(), qPrintable(w.listed().join(u'\n')));
        } else {
            QTest::keyClick(w.form->grid(Tab::Basic), Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(w.form->currentTab(), Tab::Control);
        }
        QCOMPARE(fx.column(TableLayout::basic(), u"String"_s).at(21), u"Goodbye for now"_s);
    }

    // A window already wider than the screen has room for keeps its width, with the panel
    // shown and after.
    void panelLeavesAWindowWiderThanTheScreenAsWide()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Window w(fx);
        const int wide = WindowKit::roomOnScreen(*w.form).width() + 100;
        w.form->resize(wide, w.form->height());
        QTRY_COMPARE(w.form->width(), wide);
        QVERIFY(w.openPanel());
        QCOMPARE(w.form->width(), wide);
        QTest::keyClick(w.form.get(), Qt::Key_F7);
        QTRY_VERIFY(!w.panel()->isVisible());
        QCOMPARE(w.form->width(), wide);
    }

    void checksAgainAfterASaveThatFixesTheFault()
    {
        ScriptFixture fx;
        fx.createFullScript();
        fx.execute(TableLayout::control(), u"UPDATE Table1 SET String = NULL WHERE ID = 41"_s);
        Window w(fx);
        QVERIFY(w.openPanel());
        QCOMPARE(w.listed().size(), 1);

        QSignalSpy checked(w.panel(), &CheckPanel::checked);
        RecordModel* model = w.form->model(Tab::Control);
        QVERIFY(model->setData(model->index(40, EditorWindow::column(Tab::Control, u"String"_s)),
                               u"a line again"_s));
        QVERIFY(model->savePending());
        QVERIFY(checked.wait());
        QVERIFY(w.listed().isEmpty());
        const auto* summary = w.panel()->findChild<QLabel*>(u"CheckSummary"_s);
        QVERIFY(summary->text().startsWith(u"No errors or warnings in "_s));
    }

    void statusTellsLengthAndPause_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("shown");
        // The runner's pause: a tenth of a second a character, halves to even.
        QTest::newRow("half, down to even") << 25 << u"25 characters, pause 2 s"_s;
        QTest::newRow("half, up to even") << 15 << u"15 characters, pause 2 s"_s;
        QTest::newRow("over half") << 26 << u"26 characters, pause 3 s"_s;
    }

    void statusTellsLengthAndPause()
    {
        QFETCH(int, length);
        QFETCH(QString, shown);
        ScriptFixture fx;
        fx.createFullScript();
        fx.execute(TableLayout::control(),
                   u"UPDATE Table1 SET String = '%1' WHERE ID = 3"_s.arg(QString(length, u'x')));
        Window w(fx);
        w.form->goToCell(Tab::Control, 2, EditorWindow::column(Tab::Control, u"String"_s));
        const auto* status = w.form->statusBar()->findChild<QLabel*>(u"CellStatus"_s);
        QVERIFY(status);
        QCOMPARE(status->text(), shown);
    }

    void speakSaysTheCurrentCell()
    {
        ScriptFixture fx;
        fx.createFullScript();
        Heard heard;
        SpeechVoice voice([&heard](const SpeechQueue::Complaint&) {
            return std::make_unique<ListeningEngine>(&heard);
        });
        voice.start();
        Window w(fx);
        SpeakCommand speak(*w.form, voice);
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        w.form->goToCell(Tab::Control, 6, EditorWindow::column(Tab::Control, u"String"_s));

        QSignalSpy said(&heard, &Heard::said);
        QTest::keyClick(w.form.get(), Qt::Key_F8);
        QVERIFY(said.wait());
        QCOMPARE(said.at(0).at(0).toString(), u"control 7"_s);
    }

    void speakIsOffAndSaysWhyWithoutAnEngine()
    {
        ScriptFixture fx;
        fx.createFullScript();
        SpeechVoice voice(
            [](const SpeechQueue::Complaint&) { return std::unique_ptr<SpeechEngine>(); });
        Window w(fx);
        SpeakCommand speak(*w.form, voice);
        QVERIFY(speak.action()->isEnabled());

        QSignalSpy unavailable(&voice, &SpeechVoice::unavailable);
        voice.start();
        QVERIFY(unavailable.wait());
        QVERIFY(!speak.action()->isEnabled());
        QCOMPARE(speak.action()->toolTip(),
                 u"Speech is not available: no text-to-speech engine is installed."_s);
        QVERIFY(w.form->model(Tab::Special)); // the grids are there as before
    }
};

QTEST_MAIN(TestCheckPanel)
#include "tst_checkpanel.moc"
