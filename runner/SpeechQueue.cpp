#include "SpeechQueue.h"

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
// Generous against the slowest voices: two seconds plus a fifth of a second a character.
int watchdogMs(const QString& text)
{
    return 2000 + 200 * int(qMin<qsizetype>(text.size(), 2000));
}
} // namespace

SpeechQueue::SpeechQueue(QObject* parent)
    : QObject(parent)
    , m_watchdog(this)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, [this] {
        if (m_engine)
            m_engine->stop();
        m_speaking = false;
        sayNext();
    });
}

void SpeechQueue::createEngine()
{
    if (m_engine || m_silent)
        return;
    if (QTextToSpeech::availableEngines().isEmpty()) {
        fallSilent(u"no text-to-speech engine is installed"_s);
        return;
    }
    m_engine = new QTextToSpeech(this);
    if (m_engine->state() == QTextToSpeech::Error) {
        fallSilent(m_engine->errorString());
        return;
    }
    connect(m_engine, &QTextToSpeech::stateChanged, this, &SpeechQueue::onStateChanged);
    sayNext();
}

void SpeechQueue::enqueue(const QString& text)
{
    if (m_silent)
        return;
    m_pending << text;
    if (m_engine && !m_speaking)
        sayNext();
}

void SpeechQueue::sayNext()
{
    if (m_silent || !m_engine || m_speaking || m_pending.isEmpty())
        return;
    const QString text = m_pending.takeFirst();
    m_speaking = true;
    m_watchdog.start(watchdogMs(text));
    m_engine->say(text);
}

void SpeechQueue::onStateChanged(QTextToSpeech::State state)
{
    if (state == QTextToSpeech::Error) {
        fallSilent(m_engine->errorString());
        return;
    }
    if (state == QTextToSpeech::Ready && m_speaking) {
        m_watchdog.stop();
        m_speaking = false;
        sayNext();
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
    std::fprintf(stderr, "veyrath: speech is not available (%s); going on without a voice.\n",
                 qUtf8Printable(reason));
}

void SpeechQueue::shutdown()
{
    m_watchdog.stop();
    m_pending.clear();
    delete m_engine;
    m_engine = nullptr;
}
