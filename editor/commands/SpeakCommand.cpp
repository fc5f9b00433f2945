// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/SpeakCommand.h"

#include "editor/commands/ScriptWindow.h"
#include "voice/SpeechVoice.h"

#include <QAction>
#include <QMenu>

using namespace Qt::Literals::StringLiterals;

SpeakCommand::SpeakCommand(ScriptWindow& window, SpeechVoice& voice)
    : QObject(&window.widget())
    , m_window(window)
    , m_voice(voice)
    , m_action(new QAction(u"&Speak"_s, &window.widget()))
{
    m_action->setObjectName(u"MNU_SPEAK"_s);
    m_action->setShortcut(Qt::Key_F8);
    m_action->setShortcutContext(Qt::WindowShortcut);
    window.toolsMenu()->addAction(m_action);
    window.toolsMenu()->setToolTipsVisible(true);
    connect(m_action, &QAction::triggered, this, &SpeakCommand::speak);
    connect(&voice, &SpeechVoice::unavailable, this, &SpeakCommand::disable);
}

void SpeakCommand::speak()
{
    const QModelIndex cell = m_window.currentCell();
    if (cell.isValid())
        m_voice.speak(cell.data(Qt::EditRole).toString());
}

void SpeakCommand::disable(const QString& why)
{
    m_action->setEnabled(false);
    const QString reason = u"Speech is not available: %1."_s.arg(why);
    m_action->setToolTip(reason);
    m_action->setStatusTip(reason);
}
