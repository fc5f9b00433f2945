// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/QtSpeechEngine.h"

#include <QTextToSpeech>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

std::unique_ptr<SpeechEngine> QtSpeechEngine::create(const VoiceSettings& settings)
{
    if (QTextToSpeech::availableEngines().isEmpty())
        return nullptr;
    std::unique_ptr<QtSpeechEngine> engine(new QtSpeechEngine);
    QTextToSpeech& speech = *engine->m_speech;
    for (const QVoice& voice : speech.availableVoices()) {
        if (voice.name().compare(settings.voice, Qt::CaseInsensitive) == 0)
            speech.setVoice(voice);
    }
    // Qt's rate runs from -1 to 1 with 0 as normal; a factor of one half or two is the end.
    speech.setRate(std::clamp(std::log2(settings.rate), -1.0, 1.0));
    speech.setVolume(settings.volume);
    return engine;
}

QList<VoiceInfo> QtSpeechEngine::voices()
{
    if (QTextToSpeech::availableEngines().isEmpty())
        return {};
    QTextToSpeech speech;
    QList<VoiceInfo> list;
    for (const QVoice& voice : speech.availableVoices()) {
        list << VoiceInfo{voice.name(),
                          u"%1, %2"_s.arg(QLocale::languageToString(speech.locale().language()),
                                          QVoice::genderName(voice.gender())),
                          speech.engine(),
                          {}};
    }
    return list;
}

QtSpeechEngine::QtSpeechEngine()
    : m_speech(new QTextToSpeech(this))
{
    connect(m_speech, &QTextToSpeech::stateChanged, this,
            [this](QTextToSpeech::State) { notify(state()); });
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
    const QString reason = m_speech->errorString();
    if (!reason.isEmpty())
        return reason;
    // Qt 6.4's engines often leave the text empty; the kind of error is all there is then.
    switch (m_speech->errorReason()) {
    case QTextToSpeech::ErrorReason::Initialization:
        return u"the speech engine could not start"_s;
    case QTextToSpeech::ErrorReason::Configuration:
        return u"the speech engine refused its settings"_s;
    case QTextToSpeech::ErrorReason::Input:
        return u"the speech engine could not read the text"_s;
    case QTextToSpeech::ErrorReason::Playback:
        return u"the speech engine could not play the sound"_s;
    default:
        return u"the speech engine gave no reason"_s;
    }
}

void QtSpeechEngine::say(const QString& text)
{
    m_speech->say(text);
}

void QtSpeechEngine::stop()
{
    m_speech->stop();
}
