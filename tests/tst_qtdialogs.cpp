#include "windowkit/QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {
// Runs `answer` on the modal box once it is up, as a person at the screen would.
void whenShown(std::function<void(QWidget* box)> answer)
{
    QTimer::singleShot(0, [answer = std::move(answer)] {
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
