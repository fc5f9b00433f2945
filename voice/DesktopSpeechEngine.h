// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/SpeechEngine.h"
#include "voice/VoiceSettings.h"

#include <QObject>
#include <memory>

// The desktop's own speech service, speech-dispatcher, through libspeechd: the voice,
// language and rate the person set there, and the service screen readers speak through, so
// that the runner and a screen reader take turns instead of talking at once.
class DesktopSpeechEngine final : public QObject, public SpeechEngine {
    Q_OBJECT

public:
    // Nothing, with the reason in `why`, when the service cannot be reached.
    static std::unique_ptr<SpeechEngine> connect(const VoiceSettings& settings, QString& why);
    ~DesktopSpeechEngine() override;

    State state() const override { return m_state; }
    QString errorString() const override { return m_error; }
    void say(const QString& text) override;
    void stop() override;

private:
    struct Connection; // libspeechd's, which has no name of its own to declare
    explicit DesktopSpeechEngine(std::unique_ptr<Connection> connection);
    // libspeechd's own thread tells of each message's end.
    static void onEvent(size_t message, size_t client, int event);
    void ended(int message);
    void become(State state);

    std::unique_ptr<Connection> m_connection;
    int m_client = -1;
    int m_message = -1; // the one being spoken
    State m_state = State::Ready;
    QString m_error;
};
