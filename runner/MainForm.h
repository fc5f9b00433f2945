// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "clock/SystemClock.h"
#include "engine/Conversation.h"
#include "engine/Presenter.h"
#include "engine/SystemRandom.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class AboutWindow;
class QAction;
class Dialogs;
class LineAnnouncer;
class LineDisplay;
class QPushButton;
class Voice;

// The runner's window. It presents what the conversation shows and asks, and hands its
// events to the conversation. Its boxes come from `Dialogs`: the standard ones in the program,
// scripted answers under test.
class MainForm final : public QMainWindow, public Presenter {
    Q_OBJECT

public:
    MainForm(Dialogs& dialogs, Voice& voice, const QString& workingDir, QWidget* parent = nullptr);
    ~MainForm() override;

    Conversation& conversation() { return m_conversation; }

    // Opens the script files; called once the window is on screen, so that any message
    // about a file appears over it.
    void load();

    void display(const QString& line) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    Reply messageBox(const QString& prompt, BoxStyle style, const QString& title,
                     const QString& details = {}) override;
    void hideStartButton() override;
    void showPersistence(std::optional<Persistence> level) override;
    void showAbout() override;
    void hideAbout() override;
    void closeProgram() override;

Q_SIGNALS:
    // The conversation has ended the program; the application should quit.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QSize designedClient();
    static QRect designedDisplay();
    void buildMenu();
    void placeControls(const QSize& client);

    Dialogs& m_dialogs;
    SystemClock m_clock;
    SystemRandom m_random;
    Conversation m_conversation;
    LineDisplay* m_display;
    LineAnnouncer* m_announcer;
    QPushButton* m_button;
    QHash<Persistence, QAction*> m_levels;
    QPointer<AboutWindow> m_about;
    bool m_closing = false;
};
