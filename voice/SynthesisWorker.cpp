// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/SynthesisWorker.h"

#include "voice/FliteSynthesizer.h"
#include "voice/SpeakableText.h"

#include <cstdlib>
#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr qsizetype sampleBytes = sizeof(qint16);
// Louder than the hiss libflite leaves in its pauses.
constexpr int loudness = 300;

qsizetype firstLoudSample(const QByteArray& samples)
{
    const auto* sample = reinterpret_cast<const qint16*>(samples.constData());
    for (qsizetype i = 0; i < samples.size() / sampleBytes; ++i) {
        if (std::abs(int(sample[i])) > loudness)
            return i;
    }
    return -1;
}
} // namespace

SynthesisWorker::SynthesisWorker(VoiceSettings settings)
    : m_settings(std::move(settings))
{
}

SynthesisWorker::~SynthesisWorker() = default;

void SynthesisWorker::start()
{
    try {
        m_synthesizer = std::make_unique<FliteSynthesizer>(m_settings.voice, m_settings.rate);
        m_synthesizer->synthesize(u"Ready."_s);
    } catch (const std::exception& e) {
        Q_EMIT broken(QString::fromLocal8Bit(e.what()));
    }
}

void SynthesisWorker::synthesize(quint64 line, const QString& text)
{
    if (!m_synthesizer) {
        Q_EMIT finished(line, u"the voice could not be loaded"_s);
        return;
    }
    const QString speakable = SpeakableText::prepare(text);
    if (speakable.isEmpty()) {
        Q_EMIT finished(line, u"the English voice cannot read the letters of \"%1\""_s.arg(text));
        return;
    }
    // The quiet libflite puts before a line only delays it: the line starts at its first
    // sound. What comes after is handed on in batches, each as soon as it is made.
    // A little quiet before the first sound keeps its onset whole; batches are small enough
    // that the first sound goes out at once, large enough not to flood the queue.
    const qsizetype leadInSamples = m_synthesizer->sampleRate() / 50;
    const qsizetype batchBytes = m_synthesizer->sampleRate() / 20 * sampleBytes;
    QByteArray batch;
    bool heard = false;
    const auto deliver = [&](const QByteArray& samples) {
        if (heard) {
            batch += samples;
        } else if (const qsizetype loud = firstLoudSample(samples); loud >= 0) {
            heard = true;
            batch = samples.sliced(qMax<qsizetype>(0, loud - leadInSamples) * sampleBytes);
        }
        if (batch.size() >= batchBytes) {
            Q_EMIT piece(line, batch);
            batch.clear();
        }
    };
    for (const QString& piece : SpeakableText::pieces(speakable))
        m_synthesizer->synthesize(piece, deliver);
    if (!batch.isEmpty())
        Q_EMIT piece(line, batch);
    Q_EMIT finished(line, heard ? QString() : u"libflite made no sound for \"%1\""_s.arg(text));
}
