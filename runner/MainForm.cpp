#include "runner/MainForm.h"

#include "runner/AboutWindow.h"
#include "runner/LineDisplay.h"
#include "windowkit/WindowKit.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

MainForm::MainForm(Voice& voice, const QString& workingDir, QWidget* parent)
    : QMainWindow(parent)
    , m_conversation(*this, voice, m_clock, m_random, workingDir)
{
    setObjectName(u"MainForm"_s);
    setWindowTitle(u"The Lumbrel Veyrath"_s);

    auto* client = new QWidget(this);
    client->setFixedSize(WindowKit::size(4545, 2115));
    WindowKit::useWindowColours(client);
    setCentralWidget(client);

    m_display = new LineDisplay(client);
    m_display->setObjectName(u"TextDisplay"_s);
    m_display->setGeometry(WindowKit::rect(240, 120, 4095, 1335));
    m_display->setFont(WindowKit::font(WindowKit::msSansSerif(), 12, true));

    m_button = new QPushButton(client);
    m_button->setObjectName(u"BUTTON"_s);
    m_button->setGeometry(WindowKit::rect(1680, 1560, 1215, 375));
    m_button->setFont(WindowKit::font(WindowKit::msSansSerif(), 8.25, true));
    m_button->setText(u"Start"_s);
    m_button->setFocus();
    // Queued, so the conversation runs from the event loop and not inside the button's
    // own mouse handling.
    connect(
        m_button, &QPushButton::clicked, this, [this] { m_conversation.BUTTON_Click(); },
        Qt::QueuedConnection);

    buildMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainForm::~MainForm() = default;

void MainForm::buildMenu()
{
    QMenu* file = menuBar()->addMenu(u"&File"_s);
    file->setObjectName(u"MNU_FILE"_s);
    QMenu* persist = file->addMenu(u"&Persistance"_s);
    persist->setObjectName(u"MNU_PERSIST"_s);
    persist->menuAction()->setObjectName(u"MNU_PERSIST"_s);

    const struct {
        const char16_t* name;
        const char16_t* caption;
        void (Conversation::*handler)();
    } levels[] = {{u"MNU_HIGH", u"&High", &Conversation::MNU_HIGH_Click},
                  {u"MNU_MEDIUM", u"&Medium", &Conversation::MNU_MEDIUM_Click},
                  {u"MNU_LOW", u"&Low", &Conversation::MNU_LOW_Click}};
    for (const auto& level : levels) {
        QAction* action = persist->addAction(QString::fromUtf16(level.caption));
        action->setObjectName(QString::fromUtf16(level.name));
        action->setCheckable(true);
        const auto handler = level.handler;
        connect(action, &QAction::triggered, this,
                [this, handler] { (m_conversation.*handler)(); });
    }
    findChild<QAction*>(u"MNU_MEDIUM"_s)->setChecked(true);

    file->addSeparator()->setObjectName(u"MNU_SEPERATOR"_s);
    QAction* exit = file->addAction(u"&Exit"_s);
    exit->setObjectName(u"MNU_EXIT"_s);
    connect(exit, &QAction::triggered, this, [this] { m_conversation.MNU_EXIT_Click(); });
}

void MainForm::load()
{
    m_conversation.Form_Load();
}

void MainForm::display(const QString& line)
{
    m_display->setText(line);
}

QString MainForm::inputBox(const QString& prompt, const QString& title)
{
    QInputDialog box(this);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(QString());
    // Long script lines wrap instead of stretching the box past the screen; short ones
    // keep to one row.
    for (QLabel* label : box.findChildren<QLabel*>()) {
        label->setWordWrap(true);
        label->setMinimumWidth(qMin(label->fontMetrics().horizontalAdvance(prompt) + 8, 480));
    }
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

int MainForm::messageBox(const QString& prompt, int style, const QString& title,
                         const QString& details)
{
    QMessageBox box(this);
    box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    box.setText(prompt);
    box.setInformativeText(details);
    switch (style) {
    case YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Information:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Warning:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    box.exec();
    const QAbstractButton* pressed = box.clickedButton();
    if (pressed == box.button(QMessageBox::Yes))
        return Yes;
    if (pressed == box.button(QMessageBox::No))
        return No;
    return style == YesNo ? No : Ok;
}

void MainForm::hideStartButton()
{
    m_button->hide();
}

void MainForm::setMenuChecked(const QString& item, bool checked)
{
    if (QAction* action = findChild<QAction*>(item))
        action->setChecked(checked);
}

void MainForm::showAbout()
{
    if (!m_about)
        m_about = new AboutWindow(this);
    m_about->show();
    m_about->raise();
}

void MainForm::hideAbout()
{
    if (m_about)
        m_about->hide();
}

void MainForm::closeProgram()
{
    m_closing = true;
    m_clock.interrupt();
    hideAbout();
    close();
    Q_EMIT programEnded();
}

void MainForm::closeEvent(QCloseEvent* event)
{
    if (!m_closing)
        m_conversation.Form_Closed();
    event->accept();
}
