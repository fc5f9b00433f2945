// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/MainForm.h"
#include "tests/support/EditorWindow.h"
#include "tests/support/ScreenReaderSpy.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/SilentVoice.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// What Orca says unasked while the programs run: every line the runner's display shows, and
// each About window as it opens.
class TestScreenReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void everyShownLineIsAnnouncedOnceAsShown()
    {
        const QStringList lines{u"Hello & <b>welcome</b>, 100%"_s,
                                u"b 2"_s,
                                u"b 3"_s,
                                u"is a name."_s,
                                u"  blanks kept  "_s,
                                u"Again"_s,
                                u"Again"_s,
                                u""_s,
                                u"one\ntwo"_s,
                                u"b 10"_s};
        QList<QVariantList> basic;
        for (int k = 1; k <= 22; ++k)
            basic << ScriptFixture::numberedRow(TableLayout::basic(), k, u"b"_s);
        for (int k = 0; k < lines.size(); ++k)
            basic[k][1] = lines.at(k);
        ScriptFixture fx;
        fx.create(TableLayout::basic(), basic);
        fx.createNumbered(TableLayout::control(), 100, u"c"_s);
        fx.createNumbered(TableLayout::doubles(), 60, u"d"_s);
        fx.createNumbered(TableLayout::special(), 2);

        ScreenReaderSpy orca;
        SilentVoice voice;
        ScriptedDialogs dialogs;
        MainForm form(dialogs, voice, fx.dir());
        QSignalSpy ended(&form, &MainForm::programEnded);
        form.show();
        form.load();
        // The answers run out at the first question of the conversation, which ends it.
        dialogs.answers = {u"Ann"_s, u"1/2/1980"_s};
        QTest::mouseClick(form.findChild<QPushButton*>(u"BUTTON"_s), Qt::LeftButton);
        QTRY_COMPARE(ended.size(), 1);

        orca.heard.removeAll(u"The Lumbrel Veyrath frame"_s);
        QCOMPARE(orca.heard, (QStringList{lines.at(0), u"Ann is a name."_s, lines.at(4), u"Again"_s,
                                          u"Again"_s, u""_s, lines.at(8), lines.at(9)}));
    }

    void runnerAboutIsReadAsItOpens()
    {
        ScreenReaderSpy orca;
        SilentVoice voice;
        ScriptedDialogs dialogs;
        MainForm form(dialogs, voice, QDir::tempPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.showAbout();
        QTRY_COMPARE(orca.heard.last(),
                     u"About dialog The Lumbrel Veyrath Version 4.03  (32-bit)"_s);
        form.hideAbout();
    }

    void editorAboutIsReadAsItOpens()
    {
        ScriptFixture fx;
        fx.createFullScript();
        ScreenReaderSpy orca;
        EditorWindow editor(fx);
        editor.form->setFarewellTime(std::chrono::milliseconds(300));
        QVERIFY(QTest::qWaitForWindowActive(editor.form.get()));
        editor.form->findChild<QAction*>(u"MNU_EXIT"_s)->trigger();
        QCOMPARE(editor.endings, 1);
        QVERIFY(orca.heard.contains(u"About dialog Edit the Veyrath Version 1.0  (32-bit)"_s));
    }
};

QTEST_MAIN(TestScreenReader)
#include "tst_screenreader.moc"
