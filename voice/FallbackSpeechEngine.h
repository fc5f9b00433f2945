// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/SpeechEngine.h"

#include <functional>
#include <memory>

// Speaks through a first engine until it fails, then through a second, once and for good:
// the desktop's speech service, and the voices built in when the service stops answering.
// The line being spoken when it failed is said again by the second.
class FallbackSpeechEngine final : public SpeechEngine {
public:
    using Factory = std::function<std::unique_ptr<SpeechEngine>()>;
    // `why` begins the sentence that tells of the change: "the desktop's speech service
    // failed".
    FallbackSpeechEngine(std::unique_ptr<SpeechEngine> first, Factory second, QString why);

    State state() const override { return m_current->state(); }
    QString errorString() const override { return m_current->errorString(); }
    void say(const QString& text) override;
    void stop() override;

private:
    void adopt(SpeechEngine& engine);
    void onState(State state);

    std::unique_ptr<SpeechEngine> m_current;
    std::unique_ptr<SpeechEngine> m_failed;
    Factory m_second;
    QString m_why;
    QString m_text;
    bool m_speaking = false;
};
