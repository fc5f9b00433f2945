// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/Voice.h"
#include "runner/MainForm.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
struct SilentVoice final : Voice {
    void speak(const QString&) override {}
};

// The whole of `widget` lies inside its window, and the window inside the screen.
bool seenWhole(const QWidget* widget)
{
    const QWidget* window = widget->window();
    const QRect onWindow(widget->mapTo(window, QPoint()), widget->size());
    return window->rect().contains(onWindow) &&
           window->screen()->availableGeometry().contains(window->frameGeometry());
}
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

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void runnerOpensInsideTheScreen_data() { screens(); }
    void runnerOpensInsideTheScreen()
    {
        QFETCH(QScreen*, screen);
        SilentVoice voice;
        ScriptedDialogs dialogs;
        MainForm form(dialogs, voice, QDir::tempPath());
        form.setScreen(screen);
        form.move(screen->availableGeometry().topLeft());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(seenWhole(form.findChild<QLabel*>(u"TextDisplay"_s)));
        QVERIFY(seenWhole(form.findChild<QPushButton*>(u"BUTTON"_s)));
    }
};

QTEST_MAIN(TestLargeText)
#include "tst_largetext.moc"
