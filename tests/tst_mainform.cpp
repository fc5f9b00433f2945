// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/AboutWindow.h"
#include "runner/LineDisplay.h"
#include "runner/MainForm.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/SilentVoice.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>

using namespace Qt::Literals::StringLiterals;

class TestMainForm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void windowCarriesItsCaptionsAndLayout()
    {
        SilentVoice voice;
        ScriptedDialogs dialogs;
        MainForm form(dialogs, voice, QDir::tempPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), u"The Lumbrel Veyrath"_s);
        QCOMPARE(form.centralWidget()->size(), QSize(303, 141));
        auto* display = form.findChild<LineDisplay*>(u"TextDisplay"_s);
        QVERIFY(display);
        QCOMPARE(display->geometry(), QRect(16, 8, 273, 89));
        QVERIFY(display->text().isEmpty());
        QVERIFY(display->font().bold());
        auto* button = form.findChild<QPushButton*>(u"BUTTON"_s);
        QVERIFY(button);
        QCOMPARE(button->text(), u"Start"_s);
        QCOMPARE(button->geometry(), QRect(112, 104, 81, 25));
        QVERIFY(button->isVisible());
    }

    void menuHasItsItemsAndOneCheckMark()
    {
        SilentVoice voice;
        ScriptedDialogs dialogs;
        MainForm form(dialogs, voice, QDir::tempPath());
        const QList<QAction*> bar = form.menuBar()->actions();
        QCOMPARE(bar.size(), 1);
        QCOMPARE(bar.first()->text(), u"&File"_s);
        auto* file = form.findChild<QMenu*>(u"MNU_FILE"_s);
        QVERIFY(file);
        const QList<QAction*> items = file->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items.at(0)->text(), u"&Persistance"_s);
        QVERIFY(items.at(1)->isSeparator());
        QCOMPARE(items.at(1)->objectName(), u"MNU_SEPERATOR"_s);
        QCOMPARE(items.at(2)->objectName(), u"MNU_EXIT"_s);
        QCOMPARE(items.at(2)->text(), u"&Exit"_s);

        auto* persist = form.findChild<QMenu*>(u"MNU_PERSIST"_s);
        QStringList captions;
        QStringList checked;
        for (QAction* action : persist->actions()) {
            captions << action->text();
            if (action->isChecked())
                checked << action->objectName();
        }
        QCOMPARE(captions, (QStringList{u"&High"_s, u"&Medium"_s, u"&Low"_s}));
        QCOMPARE(checked, QStringList{u"MNU_MEDIUM"_s});

        form.findChild<QAction*>(u"MNU_HIGH"_s)->trigger();
        form.findChild<QAction*>(u"MNU_LOW"_s)->trigger();
        form.findChild<QAction*>(u"MNU_LOW"_s)->trigger(); // the checked item, chosen again
        checked.clear();
        for (QAction* action : persist->actions()) {
            if (action->isChecked())
                checked << action->objectName();
        }
        QCOMPARE(checked, QStringList{u"MNU_LOW"_s});
    }

    void longestLineFitsTheDisplay_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("words") << QString(u"Thirteen letters "_s).repeated(15);
        QTest::newRow("one word") << QString(255, u'W');
    }
    void longestLineFitsTheDisplay()
    {
        QFETCH(QString, line);
        LineDisplay display;
        display.setFont(QFont(u"DejaVu Sans"_s, 12, QFont::Bold));
        display.resize(273, 89);
        display.setText(line.left(255));
        const QFont fitted = display.fittedFont();
        QVERIFY(fitted.pointSizeF() < 12);
        QTextLayout layout(display.text(), fitted);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal height = 0;
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
            row.setLineWidth(273);
            QVERIFY(row.naturalTextWidth() <= 273);
            height += row.height();
        }
        layout.endLayout();
        QVERIFY2(height <= 89,
                 qPrintable(u"%1 px high at %2 pt"_s.arg(height).arg(fitted.pointSizeF())));

        display.setText(u"Hello"_s);
        QCOMPARE(display.fittedFont().pointSizeF(), 12.0);
    }

    void textGrowsWithTheWindow()
    {
        SilentVoice voice;
        ScriptedDialogs dialogs;
        MainForm form(dialogs, voice, QDir::tempPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* display = form.findChild<LineDisplay*>(u"TextDisplay"_s);
        display->setText(u"Hello"_s);
        QCOMPARE(display->fittedFont().pointSizeF(), 12.0);

        form.resize(form.size() * 3);
        QTRY_VERIFY(display->width() > 2 * 273 && display->height() > 2 * 89);
        QVERIFY2(display->fittedFont().pointSizeF() > 24,
                 qPrintable(QString::number(display->fittedFont().pointSizeF())));
        auto* button = form.findChild<QPushButton*>(u"BUTTON"_s);
        QCOMPARE(button->size(), QSize(81, 25));
        QVERIFY(button->geometry().top() > display->geometry().bottom());
    }

    void hugeLineIsDrawnAtTheSmallestSize()
    {
        LineDisplay display;
        display.setFont(QFont(u"DejaVu Sans"_s, 12, QFont::Bold));
        display.resize(273, 89);
        display.setText(QString(1 << 20, u'W'));
        QCOMPARE(display.fittedFont().pointSizeF(), 4.0);
        QVERIFY(!display.grab().isNull());
        QCOMPARE(display.text().size(), 1 << 20); // read whole by a screen reader
    }

    void aboutWindowNamesTheProgram()
    {
        AboutWindow about;
        QCOMPARE(about.windowTitle(), u"About"_s);
        QCOMPARE(about.findChild<QLabel*>(u"Label1"_s)->text(), u"The Lumbrel Veyrath"_s);
        QCOMPARE(about.findChild<QLabel*>(u"Label2"_s)->text(), u"Version 4.03  (32-bit)"_s);
        QVERIFY(!about.findChild<QLabel*>(u"Image1"_s)->pixmap().isNull());
        QCOMPARE(about.size(), QSize(297, 145));
        for (const auto* label : about.findChildren<QLabel*>()) {
            const QRect whole(label->pos(), label->sizeHint());
            QVERIFY2(about.rect().contains(whole) && label->geometry().contains(whole),
                     qPrintable(label->text() + u" is cut"_s));
        }
    }

    void startPlaysTheScriptThroughTheWindow()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::basic(), 22, u"b"_s);
        fx.createNumbered(TableLayout::control(), 100, u"c"_s);
        fx.createNumbered(TableLayout::doubles(), 60, u"d"_s);
        fx.createNumbered(TableLayout::special(), 2);
        SilentVoice voice;
        ScriptedDialogs dialogs;
        MainForm form(dialogs, voice, fx.dir());
        QSignalSpy ended(&form, &MainForm::programEnded);
        form.show();
        form.load();
        dialogs.answers = {u"Ann"_s, u"1/2/1980"_s, u"green"_s};
        auto* button = form.findChild<QPushButton*>(u"BUTTON"_s);
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE(ended.size(), 1);
        QVERIFY(!button->isVisible());
        QVERIFY(!form.isVisible());
        QCOMPARE(dialogs.asked.mid(0, 2), (QStringList{u"b 2"_s, u"b 3"_s}));
        const int slot = dialogs.asked.at(2).mid(2).toInt(); // the first question, from block 2
        QVERIFY2(slot >= 41 && slot <= 60, qPrintable(dialogs.asked.join(u" | "_s)));
        QCOMPARE(voice.said.first(), u"b 1"_s);
        QVERIFY(voice.said.contains(u"Ann b 4"_s));
        QVERIFY(form.conversation().hasEnded());
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
