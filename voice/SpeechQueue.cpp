// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/SpeechQueue.h"

#include "voice/PlatformSpeech.h"

#include <QCoreApplication>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

SpeechQueue::SpeechQueue(EngineFactory factory, Complaint complain, QObject* parent)
    : QObject(parent)
    , m_factory(factory ? std::move(factory) : EngineFactory([](const Complaint& tell) {
        return PlatformSpeech::create({}, tell);
    }))
    , m_complain(complain ? std::move(complain) : Complaint([](const QString& sentence) {
        // Named after the program, as the runner and the editor share this voice.
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(QCoreApplication::applicationName()),
                     qUtf8Printable(sentence));
    }))
    , m_watchdog(this)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, [this] {
        // Not speaking first, so that the Ready the stop brings starts nothing by itself.
        m_speaking = false;
        if (m_engine)
            m_engine->stop();
        sayNext();
    });
}

SpeechQueue::~SpeechQueue() = default;

void SpeechQueue::setWatchdog(int fixedMs, int perCharacterMs)
{
    m_fixedMs = fixedMs;
    m_perCharacterMs = perCharacterMs;
}

void SpeechQueue::createEngine()
{
    if (m_engine || m_silent)
        return;
    m_engine = m_factory(m_complain);
    if (!m_engine) {
        fallSilent(u"no text-to-speech engine is installed"_s);
        return;
    }
    if (m_engine->state() == SpeechEngine::State::Error) {
        fallSilent(m_engine->errorString());
        return;
    }
    m_engine->setListener([this](SpeechEngine::State state) { onStateChanged(state); });
    m_engine->setComplaint(m_complain);
    sayNext();
}

void SpeechQueue::enqueue(const QString& text)
{
    // A blank line has nothing to say, and an engine may never report it done.
    if (m_silent || text.trimmed().isEmpty())
        return;
    m_pending << text;
    sayNext();
}

void SpeechQueue::sayNext()
{
    if (m_silent || !m_engine || m_speaking || m_pending.isEmpty())
        return;
    const QString text = m_pending.takeFirst();
    m_speaking = true;
    m_started = false;
    m_failed = false;
    m_watchdog.start(m_fixedMs + m_perCharacterMs * int(qMin<qsizetype>(text.size(), 2000)));
    m_engine->say(text);
}

void SpeechQueue::onStateChanged(SpeechEngine::State state)
{
    if (!m_speaking)
        return;
    switch (state) {
    case SpeechEngine::State::Speaking:
        m_started = true;
        break;
    case SpeechEngine::State::Error:
        if (!m_started || (++m_failuresInARow >= 3 && !m_everSpoke)) {
            fallSilent(m_engine->errorString());
            return;
        }
        m_failed = true;
        if (!m_toldSkipped) {
            m_toldSkipped = true;
            m_complain(u"the voice could not say a line (%1); it goes on with the next."_s.arg(
                m_engine->errorString()));
        }
        break;
    case SpeechEngine::State::Ready:
        if (!m_failed) {
            m_everSpoke = true;
            m_failuresInARow = 0;
        }
        m_watchdog.stop();
        m_speaking = false;
        sayNext();
        break;
    }
}

void SpeechQueue::fallSilent(const QString& why)
{
    if (m_silent)
        return;
    m_silent = true;
    m_pending.clear();
    m_watchdog.stop();
    const QString reason = why.isEmpty() ? u"the speech engine failed"_s : why;
    m_complain(u"speech is not available (%1); going on without a voice."_s.arg(reason));
    Q_EMIT fellSilent(reason);
}

void SpeechQueue::shutdown()
{
    m_watchdog.stop();
    m_pending.clear();
    m_engine.reset();
}
