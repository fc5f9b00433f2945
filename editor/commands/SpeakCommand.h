// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

class QAction;
class ScriptWindow;
class SpeechVoice;

// Tools > Speak: says the current cell's text with the runner's voice and queue, as a run
// would say it. Where the voice has no engine or no sound device, the command is off and its
// tooltip says why; the rest of the editor works as before.
class SpeakCommand final : public QObject {
    Q_OBJECT

public:
    SpeakCommand(ScriptWindow& window, SpeechVoice& voice);

    QAction* action() const { return m_action; }

private:
    void speak();
    void disable(const QString& why);

    ScriptWindow& m_window;
    SpeechVoice& m_voice;
    QAction* m_action;
};
