#include "voice/QtSpeechEngine.h"

#include <QTextToSpeech>

std::unique_ptr<SpeechEngine> QtSpeechEngine::create()
{
    if (QTextToSpeech::availableEngines().isEmpty())
        return nullptr;
    return std::unique_ptr<SpeechEngine>(new QtSpeechEngine);
}

QtSpeechEngine::QtSpeechEngine()
    : m_speech(new QTextToSpeech(this))
{
    connect(m_speech, &QTextToSpeech::stateChanged, this,
            [this](QTextToSpeech::State) { Q_EMIT stateChanged(state()); });
}

SpeechEngine::State QtSpeechEngine::state() const
{
    switch (m_speech->state()) {
    case QTextToSpeech::Error:
        return State::Error;
    case QTextToSpeech::Ready:
        return State::Ready;
    default:
        return State::Speaking; // paused counts as busy: the next text must wait
    }
}

QString QtSpeechEngine::errorString() const
{
    return m_speech->errorString();
}

void QtSpeechEngine::say(const QString& text)
{
    m_speech->say(text);
}

void QtSpeechEngine::stop()
{
    m_speech->stop();
}
