// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/FliteSpeechEngine.h"

#include "voice/FliteSynthesizer.h"
#include "voice/SynthesisWorker.h"

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

std::unique_ptr<SpeechEngine> FliteSpeechEngine::create(const VoiceSettings& settings)
{
    return std::unique_ptr<SpeechEngine>(new FliteSpeechEngine(settings));
}

FliteSpeechEngine::FliteSpeechEngine(const VoiceSettings& settings)
    : m_settings(settings)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        m_broken = true;
        m_state = State::Error;
        m_error = u"no sound output device was found"_s;
        return;
    }
    QAudioFormat format;
    const int bytesPerSecond = FliteSynthesizer::sampleRate(settings.voice) * int(sizeof(qint16));
    // Between two lines, and more than the output waits for before it starts to play, so that
    // even the shortest line is heard to its end.
    m_pauseAfterLine = QByteArray(bytesPerSecond * 3 / 10, '\0');
    format.setSampleRate(FliteSynthesizer::sampleRate(settings.voice));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_output = std::make_unique<QAudioSink>(device, format);
    // Little enough that a line starts at once, enough that a busy machine does not stutter.
    m_output->setBufferSize(bytesPerSecond / 4);
    m_output->setVolume(settings.volume);
    connect(m_output.get(), &QAudioSink::stateChanged, this, &FliteSpeechEngine::onOutputState);

    m_worker = new SynthesisWorker(settings);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &SynthesisWorker::piece, this, &FliteSpeechEngine::onPiece);
    connect(m_worker, &SynthesisWorker::finished, this, &FliteSpeechEngine::onFinished);
    connect(m_worker, &SynthesisWorker::broken, this, [this](const QString& reason) {
        m_broken = true;
        m_error = reason;
        become(State::Error);
    });
    m_thread.setObjectName(u"synthesis"_s);
    m_thread.start();
    QMetaObject::invokeMethod(m_worker, &SynthesisWorker::start);
}

FliteSpeechEngine::~FliteSpeechEngine()
{
    if (m_output)
        m_output->stop();
    m_thread.quit();
    m_thread.wait();
}

bool FliteSpeechEngine::outputOpen()
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

void FliteSpeechEngine::say(const QString& text)
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

void FliteSpeechEngine::stop()
{
    ++m_line;
    m_stream.clear();
    if (m_state == State::Speaking)
        become(State::Ready);
}

void FliteSpeechEngine::become(State state)
{
    m_state = state;
    notify(state);
}

void FliteSpeechEngine::onPiece(quint64 line, const QByteArray& samples)
{
    if (line == m_line)
        m_stream.append(samples);
}

void FliteSpeechEngine::onFinished(quint64 line, const QString& failure)
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

void FliteSpeechEngine::onOutputState(QAudio::State state)
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
