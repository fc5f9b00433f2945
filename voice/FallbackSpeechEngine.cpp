// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/FallbackSpeechEngine.h"

using namespace Qt::Literals::StringLiterals;

FallbackSpeechEngine::FallbackSpeechEngine(std::unique_ptr<SpeechEngine> first, Factory second,
                                           QString why)
    : m_current(std::move(first))
    , m_second(std::move(second))
    , m_why(std::move(why))
{
    adopt(*m_current);
}

void FallbackSpeechEngine::adopt(SpeechEngine& engine)
{
    // What the failed engine says after the change is not heard.
    engine.setListener([this, &engine](State state) {
        if (&engine == m_current.get())
            onState(state);
    });
    engine.setComplaint([this, &engine](const QString& sentence) {
        if (&engine == m_current.get())
            complain(sentence);
    });
}

void FallbackSpeechEngine::say(const QString& text)
{
    m_text = text;
    m_speaking = true;
    m_current->say(text);
}

void FallbackSpeechEngine::stop()
{
    m_speaking = false;
    m_current->stop();
}

void FallbackSpeechEngine::onState(State state)
{
    if (state != State::Error || !m_second) {
        if (state == State::Ready)
            m_speaking = false;
        notify(state);
        return;
    }
    complain(u"%1 (%2); the voices built in speak instead"_s.arg(m_why, m_current->errorString()));
    const Factory second = std::exchange(m_second, nullptr);
    // The failed engine may be inside its own call that told of the failure: it is kept, and
    // goes with this one.
    m_failed = std::exchange(m_current, second());
    adopt(*m_current);
    if (m_current->state() == State::Error)
        notify(State::Error);
    else if (m_speaking)
        m_current->say(m_text);
}
