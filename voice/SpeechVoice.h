// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/Voice.h"
#include "voice/SpeechQueue.h"
#include "voice/VoiceSettings.h"

#include <QObject>
#include <QThread>

// The runner's voice. The speech engine lives on a thread of its own: creating one can
// block for seconds (a sound system that does not answer does), and the window must not wait.
class SpeechVoice final : public QObject, public Voice {
    Q_OBJECT

public:
    explicit SpeechVoice(const VoiceSettings& settings = {}, QObject* parent = nullptr);
    // Speaks through the engines `factory` makes, as a test does with one of its own.
    explicit SpeechVoice(SpeechQueue::EngineFactory factory, QObject* parent = nullptr);
    ~SpeechVoice() override;

    // Creates the engine in the background; texts spoken before it is ready wait for it.
    void start();
    void speak(const QString& text) override;

Q_SIGNALS:
    // No text will be spoken, for the reason given ("no sound output device was found").
    void unavailable(const QString& why);

private:
    QThread m_thread;
    SpeechQueue* m_queue;
};
