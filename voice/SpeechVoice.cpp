// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/SpeechVoice.h"

#include "voice/PlatformSpeech.h"

SpeechVoice::SpeechVoice(const VoiceSettings& settings, QObject* parent)
    : SpeechVoice(
          [settings](const SpeechQueue::Complaint& complain) {
              return PlatformSpeech::create(settings, complain);
          },
          parent)
{
}

SpeechVoice::SpeechVoice(SpeechQueue::EngineFactory factory, QObject* parent)
    : QObject(parent)
    , m_queue(new SpeechQueue(std::move(factory)))
{
    // Crosses from the speech thread to this one, queued.
    connect(m_queue, &SpeechQueue::fellSilent, this, &SpeechVoice::unavailable);
    m_queue->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("speech"));
    m_thread.start();
}

SpeechVoice::~SpeechVoice()
{
    // The engine must go on the thread it was made on.
    QMetaObject::invokeMethod(m_queue, &SpeechQueue::shutdown, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_queue;
}

void SpeechVoice::start()
{
    QMetaObject::invokeMethod(m_queue, &SpeechQueue::createEngine);
}

void SpeechVoice::speak(const QString& text)
{
    QMetaObject::invokeMethod(m_queue, [queue = m_queue, text] { queue->enqueue(text); });
}
