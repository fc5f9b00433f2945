// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/EmbeddedSpeechEngine.h"

#include "voice/SynthesisWorker.h"
#include "voice/VoiceCatalog.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

using namespace Qt::Literals::StringLiterals;

namespace {

QString outputFailure(QAudio::Error error)
{
    switch (error) {
    case QAudio::OpenError:
        return u"the sound output could not be opened"_s;
    case QAudio::IOError:
        return u"the sound output failed while playing"_s;
    case QAudio::FatalError:
        return u"the sound system is not available"_s;
    default:
        return {};
    }
}
} // namespace

std::unique_ptr<SpeechEngine> EmbeddedSpeechEngine::create(std::shared_ptr<VoiceCatalog> catalog,
                                                           const VoiceSettings& settings)
{
    return std::unique_ptr<SpeechEngine>(new EmbeddedSpeechEngine(std::move(catalog), settings));
}

EmbeddedSpeechEngine::EmbeddedSpeechEngine(std::shared_ptr<VoiceCatalog> catalog,
                                           const VoiceSettings& settings)
    : m_settings(settings)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        m_broken = true;
        m_state = State::Error;
        m_error = u"no sound output device was found"_s;
        return;
    }
    // The rate of the voice that says most: only runs in other writing systems are converted.
    const int sampleRate = catalog->sampleRate(settings.voice);
    QAudioFormat format;
    const int bytesPerSecond = sampleRate * int(sizeof(qint16));
    // Between two lines, and more than the output waits for before it starts to play, so that
    // even the shortest line is heard to its end.
    m_pauseAfterLine = QByteArray(bytesPerSecond * 3 / 10, '\0');
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_output = std::make_unique<QAudioSink>(device, format);
    // Little enough that a line starts at once, enough that a busy machine does not stutter.
    m_output->setBufferSize(bytesPerSecond / 4);
    m_output->setVolume(settings.volume);
    connect(m_output.get(), &QAudioSink::stateChanged, this, &EmbeddedSpeechEngine::onOutputState);

    m_worker = new SynthesisWorker(std::move(catalog), settings, sampleRate);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &SynthesisWorker::piece, this, &EmbeddedSpeechEngine::onPiece);
    connect(m_worker, &SynthesisWorker::finished, this, &EmbeddedSpeechEngine::onFinished);
    connect(m_worker, &SynthesisWorker::broken, this, [this](const QString& reason) {
        m_broken = true;
        m_error = reason;
        become(State::Error);
    });
    connect(m_worker, &SynthesisWorker::complaint, this,
            [this](const QString& sentence) { complain(sentence); });
    m_thread.setObjectName(u"synthesis"_s);
    m_thread.start();
    QMetaObject::invokeMethod(m_worker, &SynthesisWorker::start);
}

EmbeddedSpeechEngine::~EmbeddedSpeechEngine()
{
    if (m_output)
        m_output->stop();
    m_thread.quit();
    m_thread.wait();
}

bool EmbeddedSpeechEngine::outputOpen()
{
    if (m_output->state() == QAudio::StoppedState) {
        m_output->start(&m_stream);
        if (m_output->state() == QAudio::StoppedState) {
            m_error = outputFailure(m_output->error());
            if (m_error.isEmpty())
                m_error = u"the sound output did not start"_s;
            return false;
        }
    }
    return true;
}

void EmbeddedSpeechEngine::say(const QString& text)
{
    if (m_broken || !outputOpen()) {
        become(State::Error);
        return;
    }
    ++m_line;
    become(State::Speaking);
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, line = m_line, text] { worker->synthesize(line, text); });
}

void EmbeddedSpeechEngine::stop()
{
    ++m_line;
    m_stream.clear();
    if (m_state == State::Speaking)
        become(State::Ready);
}

void EmbeddedSpeechEngine::become(State state)
{
    m_state = state;
    notify(state);
}

void EmbeddedSpeechEngine::onPiece(quint64 line, const QByteArray& samples)
{
    if (line == m_line)
        m_stream.append(samples);
}

void EmbeddedSpeechEngine::onFinished(quint64 line, const QString& failure)
{
    if (line != m_line)
        return;
    m_stream.append(m_pauseAfterLine);
    if (!failure.isEmpty()) {
        m_error = failure;
        become(State::Error);
    }
    become(State::Ready);
}

void EmbeddedSpeechEngine::onOutputState(QAudio::State state)
{
    if (state != QAudio::StoppedState)
        return;
    const QString failure = outputFailure(m_output->error());
    if (failure.isEmpty())
        return;
    // The next line opens the output again; this one is lost with it.
    m_error = failure;
    if (m_state == State::Speaking)
        become(State::Error);
}
