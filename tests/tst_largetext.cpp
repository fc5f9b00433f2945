// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/commands/CheckPanel.h"
#include "editor/grid/ScriptGrid.h"
#include "runner/MainForm.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/SilentVoice.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {
// The whole of `widget` lies inside its window, and the window inside the screen.
bool seenWhole(const QWidget* widget)
{
    const QWidget* window = widget->window();
    const QRect onWindow(widget->mapTo(window, QPoint()), widget->size());
    return window->rect().contains(onWindow) &&
           window->screen()->availableGeometry().contains(window->frameGeometry());
}
// Shows `window` at the top left of `screen`, as a desktop places a window that fits.
bool openOn(QWidget& window, QScreen* screen)
{
    window.setScreen(screen);
    window.move(screen->availableGeometry().topLeft());
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

// The editor over a whole script.
struct Editor {
    Editor()
    {
        fx.createFullScript();
        form = std::make_unique<Form1>(dialogs, fx.dir());
    }

    ScriptFixture fx;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
};
} // namespace

// Run on a 1280 by 900 screen with text at 192 dpi and a scale factor of 2, as a person who
// sees poorly sets them: every window opens inside the screen, with every control in reach.
class TestLargeText : public QObject {
    Q_OBJECT

    static void screens()
    {
        QTest::addColumn<QScreen*>("screen");
        for (QScreen* screen : QApplication::screens())
            QTest::newRow(qPrintable(screen->name())) << screen;
    }

    static QScreen* screenNamed(const QString& name)
    {
        const QList<QScreen*> all = QApplication::screens();
        const auto found = std::find_if(all.cbegin(), all.cend(), [&](const QScreen* screen) {
            return screen->name() == name;
        });
        return found == all.cend() ? nullptr : *found;
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void runnerOpensInsideTheScreen_data() { screens(); }
    void runnerOpensInsideTheScreen()
    {
        QFETCH(QScreen*, screen);
        SilentVoice voice;
        ScriptedDialogs dialogs;
        MainForm form(dialogs, voice, QDir::tempPath());
        QVERIFY(openOn(form, screen));
        QVERIFY(seenWhole(form.findChild<QLabel*>(u"TextDisplay"_s)));
        QVERIFY(seenWhole(form.findChild<QPushButton*>(u"BUTTON"_s)));
    }

    // On the smaller screen a logical pixel leaves the editor 256 by 192: less than a menu bar,
    // tabs, a grid, its commands and a status bar take. The window stays on the screen, and
    // what the keyboard reaches scrolls into view.
    void editorOnATooSmallScreenScrollsToWhatTheKeyboardReaches()
    {
        QScreen* screen = screenNamed(u"1024x768"_s);
        Editor editor;
        Form1& form = *editor.form;
        QVERIFY(openOn(form, screen));
        QVERIFY(screen->availableGeometry().contains(form.frameGeometry()));

        const auto inView = [](const QWidget* widget) {
            return widget->visibleRegion() == QRegion(widget->rect());
        };
        QWidget* sort = form.findChild<QPushButton*>(u"Command4"_s);
        QVERIFY(!inView(sort));
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.findChild<QPushButton*>(u"Command1"_s)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), sort);
        QVERIFY(inView(sort));
        QTest::keyClick(sort, Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        const auto* tabs = form.findChild<QTabWidget*>(u"SSTab1"_s);
        QVERIFY(tabs->tabBar()->isAncestorOf(QApplication::focusWidget()));
        QVERIFY(inView(tabs->tabBar()));
    }

    void editorKeepsEveryControlOnTheScreen()
    {
        Editor editor;
        Form1& form = *editor.form;
        QVERIFY(openOn(form, screenNamed(u"1280x900"_s)));
        const auto inReach = [&] {
            QStringList lost;
            QList<const QWidget*> controls{form.findChild<QTabWidget*>(u"SSTab1"_s)->tabBar(),
                                           form.grid(Tab::Special)};
            for (int i = 1; i <= 4; ++i)
                controls << form.findChild<QPushButton*>(u"Command%1"_s.arg(i));
            if (form.checkPanel()->isVisible())
                controls << form.checkPanel();
            for (const QWidget* control : controls) {
                if (!seenWhole(control))
                    lost << control->objectName();
            }
            return lost;
        };
        QCOMPARE(inReach(), QStringList());

        // As wide as the screen, then maximized: the panel takes its room from the grids.
        for (const bool maximized : {false, true}) {
            if (maximized) {
                form.showMaximized();
                QTRY_VERIFY(form.isMaximized());
            }
            QTest::keyClick(&form, Qt::Key_F7);
            QTRY_VERIFY(form.checkPanel()->isVisible());
            QTRY_COMPARE(inReach(), QStringList());
            QTest::keyClick(&form, Qt::Key_F7);
            QTRY_VERIFY(!form.checkPanel()->isVisible());
            QCOMPARE(inReach(), QStringList());
        }
    }
};

QTEST_MAIN(TestLargeText)
#include "tst_largetext.moc"
