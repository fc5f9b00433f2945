// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowkit/QtDialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {
// The text a label puts on the screen: markup rendered, a shortcut marker taken out.
QString shownText(const QLabel* label)
{
    QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument document;
        document.setHtml(text);
        text = document.toPlainText();
    }
    if (label->buddy()) {
        // "&&" shows one "&"; a single "&" marks the shortcut and is not shown.
        QString shown;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) == u'&' && i + 1 < text.size())
                ++i;
            shown += text.at(i);
        }
        text = shown;
    }
    return text;
}

// Runs `answer` on the modal box once it is up, as a person at the screen would.
void whenShown(std::function<void(QWidget* box)> answer)
{
    QTimer::singleShot(0, qApp, [answer = std::move(answer)] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        answer(box);
    });
}
} // namespace

// The real boxes, answered from a timer; every other window test answers a scripted fake.
class TestQtDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void messageBoxGivesThePressedButton_data()
    {
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("press");
        QTest::newRow("yes") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::Yes;
        QTest::newRow("no") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No;
        QTest::newRow("ok") << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Ok;
    }
    void messageBoxGivesThePressedButton()
    {
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::StandardButton, press);
        QString shown;
        whenShown([&](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            QVERIFY(box);
            shown = box->findChild<QLabel*>(u"qt_msgbox_label"_s)->text();
            box->button(press)->click();
        });
        QtDialogs dialogs;
        const auto pressed = dialogs.message(
            nullptr, {QMessageBox::NoIcon, u"Veyrath Message"_s, u"Go on?"_s, {}, buttons});
        QCOMPARE(pressed, press);
        QCOMPARE(shown, u"Go on?"_s);
    }

    // What a screen reader reads of a widget: the name Qt gives it from what it shows.
    static QString readAloud(QWidget* widget)
    {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        return face ? face->text(QAccessible::Name) : QString();
    }

    void textsAreShownAndReadAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("markup and blanks") << u"Q&A <b>x</b>  two  blanks"_s;
        QTest::newRow("a typed answer in a pair line") << u"first <i>y</i> second"_s;
        QTest::newRow("an empty answer") << u"first  second"_s;
        QTest::newRow("doubled ampersand and entity") << u"&& &amp; <br> end"_s;
    }
    void textsAreShownAndReadAsWritten()
    {
        QFETCH(QString, text);
        QtDialogs dialogs;
        QString label;
        QString read;
        whenShown([&](QWidget* widget) {
            auto* prompt = widget->findChild<QLabel*>();
            label = shownText(prompt);
            read = readAloud(prompt);
            QCOMPARE(readAloud(widget->findChild<QLineEdit*>()), text);
            qobject_cast<QDialog*>(widget)->reject();
        });
        dialogs.text(nullptr, u"Veyrath Message"_s, text);
        QCOMPARE(label, text);
        QCOMPARE(read, text);

        whenShown([&](QWidget* widget) {
            auto* shown = widget->findChild<QLabel*>(u"qt_msgbox_label"_s);
            label = shownText(shown);
            read = readAloud(shown);
            qobject_cast<QMessageBox*>(widget)->button(QMessageBox::Ok)->click();
        });
        dialogs.message(nullptr, {QMessageBox::NoIcon, {}, text, text, QMessageBox::Ok});
        QCOMPARE(label, text);
        QCOMPARE(read, text);
    }

    void closedYesNoBoxIsANo()
    {
        whenShown([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QtDialogs dialogs;
        QCOMPARE(
            dialogs.message(
                nullptr,
                {QMessageBox::NoIcon, {}, u"Go on?"_s, {}, QMessageBox::Yes | QMessageBox::No}),
            QMessageBox::No);
    }

    void inputBoxGivesTheTypedTextOrNothing_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("expected");
        QTest::newRow("typed") << true << u" Ann "_s;
        QTest::newRow("cancelled") << false << QString();
    }
    void inputBoxGivesTheTypedTextOrNothing()
    {
        QFETCH(bool, accept);
        QFETCH(QString, expected);
        whenShown([&](QWidget* widget) {
            auto* box = qobject_cast<QInputDialog*>(widget);
            QVERIFY(box);
            QVERIFY(box->textValue().isEmpty());
            box->findChild<QLineEdit*>()->setText(u" Ann "_s);
            accept ? box->accept() : box->reject();
        });
        QtDialogs dialogs;
        QCOMPARE(dialogs.text(nullptr, u"Veyrath Message"_s, u"Your name?"_s), expected);
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
