// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/MainForm.h"

#include "runner/AboutWindow.h"
#include "runner/CheckedOnlyStyle.h"
#include "runner/LineAnnouncer.h"
#include "runner/LineDisplay.h"
#include "windowkit/Dialogs.h"
#include "windowkit/WindowKit.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>

using namespace Qt::Literals::StringLiterals;

MainForm::MainForm(Dialogs& dialogs, Voice& voice, const QString& workingDir, QWidget* parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
    , m_conversation(*this, voice, m_clock, m_random, workingDir)
{
    setObjectName(u"MainForm"_s);
    setWindowTitle(u"The Lumbrel Veyrath"_s);

    auto* client = new QWidget(this);
    WindowKit::useWindowColours(client);
    client->installEventFilter(this);
    setCentralWidget(client);

    m_display = new LineDisplay(client);
    m_display->setObjectName(u"TextDisplay"_s);
    m_display->setDesignedSize(designedDisplay().size());
    m_display->setFont(WindowKit::font(WindowKit::msSansSerif(), 12, true));
    m_announcer = new LineAnnouncer(client);

    m_button = new QPushButton(client);
    m_button->setObjectName(u"BUTTON"_s);
    m_button->setFont(WindowKit::font(WindowKit::msSansSerif(), 8.25, true));
    m_button->setText(u"Start"_s);
    m_button->setFocus();
    // Queued, so the conversation runs from the event loop and not inside the button's
    // own mouse handling.
    connect(
        m_button, &QPushButton::clicked, this, [this] { m_conversation.BUTTON_Click(); },
        Qt::QueuedConnection);

    buildMenu();
    // The designed size is the smallest; the window may grow or be maximized, and the
    // display grows with it. Where large text or a high scale factor make the designed size
    // larger than the screen, the window takes what the screen has and the text shrinks to
    // fit, as it does for a long line.
    const QSize room = WindowKit::roomOnScreen(*this) - QSize(0, menuBar()->sizeHint().height());
    client->setMinimumSize(designedClient().boundedTo(room));
    placeControls(designedClient());
    resize(sizeHint());
}

QSize MainForm::designedClient()
{
    return WindowKit::size(4545, 2115);
}

QRect MainForm::designedDisplay()
{
    return WindowKit::rect(240, 120, 4095, 1335);
}

void MainForm::placeControls(const QSize& client)
{
    // At the designed size everything sits where it was drawn; more room goes to the text,
    // and the button keeps its place below it, in the middle.
    const QSize extra = client - designedClient();
    m_display->setGeometry(designedDisplay().adjusted(0, 0, extra.width(), extra.height()));
    m_button->setGeometry(
        WindowKit::rect(1680, 1560, 1215, 375).translated(extra.width() / 2, extra.height()));
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        placeControls(static_cast<QResizeEvent*>(event)->size());
    return QMainWindow::eventFilter(watched, event);
}

MainForm::~MainForm() = default;

void MainForm::buildMenu()
{
    QMenu* file = menuBar()->addMenu(u"&File"_s);
    file->setObjectName(u"MNU_FILE"_s);
    QMenu* persist = file->addMenu(u"&Persistance"_s);
    persist->setObjectName(u"MNU_PERSIST"_s);
    persist->setStyle(new CheckedOnlyStyle);
    persist->style()->setParent(persist);
    persist->menuAction()->setObjectName(u"MNU_PERSIST"_s);

    const struct {
        Persistence level;
        const char16_t* name;
        const char16_t* caption;
        void (Conversation::*handler)();
    } levels[] = {{Persistence::High, u"MNU_HIGH", u"&High", &Conversation::MNU_HIGH_Click},
                  {Persistence::Medium, u"MNU_MEDIUM", u"&Medium", &Conversation::MNU_MEDIUM_Click},
                  {Persistence::Low, u"MNU_LOW", u"&Low", &Conversation::MNU_LOW_Click}};
    for (const auto& level : levels) {
        QAction* action = persist->addAction(QString::fromUtf16(level.caption));
        action->setObjectName(QString::fromUtf16(level.name));
        action->setCheckable(true);
        const auto handler = level.handler;
        connect(action, &QAction::triggered, this,
                [this, handler] { (m_conversation.*handler)(); });
        m_levels.insert(level.level, action);
    }
    // The menu's design, not the conversation, marks Medium at start.
    m_levels.value(Persistence::Medium)->setChecked(true);

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
    m_announcer->announce(line);
}

QString MainForm::inputBox(const QString& prompt, const QString& title)
{
    return m_dialogs.text(this, title, prompt);
}

Reply MainForm::messageBox(const QString& prompt, BoxStyle style, const QString& title,
                           const QString& details)
{
    Dialogs::Message box{QMessageBox::NoIcon, title, prompt, details, QMessageBox::Ok};
    switch (style) {
    case BoxStyle::YesNo:
        box.buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case BoxStyle::Information:
        box.icon = QMessageBox::Information;
        break;
    case BoxStyle::Warning:
        box.icon = QMessageBox::Warning;
        break;
    case BoxStyle::OkOnly:
        break;
    }
    switch (m_dialogs.message(this, box)) {
    case QMessageBox::Yes:
        return Reply::Yes;
    case QMessageBox::No:
        return Reply::No;
    default:
        return style == BoxStyle::YesNo ? Reply::No : Reply::Ok;
    }
}

void MainForm::hideStartButton()
{
    m_button->hide();
}

void MainForm::showPersistence(std::optional<Persistence> level)
{
    for (auto it = m_levels.cbegin(); it != m_levels.cend(); ++it)
        it.value()->setChecked(level == it.key());
}

void MainForm::showAbout()
{
    if (!m_about)
        m_about = new AboutWindow(this);
    m_about->show();
    m_about->raise();
    // Active, so that a screen reader reads it out.
    m_about->activateWindow();
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
