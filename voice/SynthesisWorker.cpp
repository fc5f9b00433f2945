// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/SynthesisWorker.h"

#include "voice/EspeakSynthesizer.h"
#include "voice/FliteSynthesizer.h"
#include "voice/Resampler.h"
#include "voice/SoundJoiner.h"
#include "voice/VoiceCatalog.h"

#include <exception>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr qsizetype sampleBytes = sizeof(qint16);
} // namespace

SynthesisWorker::SynthesisWorker(std::shared_ptr<VoiceCatalog> catalog, VoiceSettings settings,
                                 int outputRate)
    : m_catalog(std::move(catalog))
    , m_settings(std::move(settings))
    , m_outputRate(outputRate)
    , m_plan(*m_catalog, m_settings.voice)
{
}

SynthesisWorker::~SynthesisWorker() = default;

std::shared_ptr<Synthesizer> SynthesisWorker::make(const QString& name) const
{
    if (m_catalog->isFlite(name))
        return std::make_shared<FliteSynthesizer>(name, m_settings.rate);
    return std::make_shared<EspeakSynthesizer>(name, m_settings.rate);
}

void SynthesisWorker::start()
{
    try {
        const std::shared_ptr<Synthesizer> first = make(m_settings.voice);
        first->say(u"1"_s);
        m_voices.insert(m_settings.voice, first);
    } catch (const std::exception& e) {
        Q_EMIT broken(QString::fromLocal8Bit(e.what()));
    }
}

Synthesizer* SynthesisWorker::voice(const QString& name)
{
    if (const auto found = m_voices.constFind(name); found != m_voices.cend())
        return found->get();
    std::shared_ptr<Synthesizer> made;
    try {
        made = make(name);
    } catch (const std::exception& e) {
        tellOnce(u"load "_s + name,
                 u"the voice %1 could not be loaded (%2); what it would "
                 u"say is left out"_s.arg(name, QString::fromLocal8Bit(e.what())));
    }
    m_voices.insert(name, made);
    return made.get();
}

void SynthesisWorker::tellOnce(const QString& kind, const QString& sentence)
{
    if (m_told.contains(kind))
        return;
    m_told.insert(kind);
    Q_EMIT complaint(sentence);
}

void SynthesisWorker::synthesize(quint64 line, const QString& text)
{
    if (!m_voices.value(m_settings.voice)) {
        Q_EMIT finished(line, u"the voice could not be loaded"_s);
        return;
    }
    const LinePlan::Plan plan = m_plan.plan(text);
    for (const LinePlan::Run& unread : plan.unread) {
        if (unread.voice.isEmpty())
            tellOnce(u"unread "_s + unread.text,
                     u"no installed voice reads the letters of \"%1\"; they are left out"_s.arg(
                         unread.text));
        else
            tellOnce(u"unread "_s + unread.voice,
                     u"no installed voice reads %1 letters, so \"%2\" and the like are left "
                     u"out"_s.arg(unread.voice, unread.text));
    }
    if (plan.runs.isEmpty()) {
        Q_EMIT finished(line, QString());
        return;
    }

    // Handed on in batches small enough that the first sound goes out at once, large enough
    // not to flood the queue.
    const qsizetype batchBytes = m_outputRate / 20 * sampleBytes;
    QByteArray batch;
    SoundJoiner joiner(m_outputRate, [&](const QByteArray& samples) {
        batch += samples;
        if (batch.size() >= batchBytes) {
            Q_EMIT piece(line, batch);
            batch.clear();
        }
    });
    for (qsizetype i = 0; i < plan.runs.size(); ++i) {
        const LinePlan::Run& run = plan.runs.at(i);
        const Synthesizer* synthesizer = voice(run.voice);
        if (!synthesizer)
            continue;
        try {
            std::optional<Resampler> resampler;
            if (synthesizer->sampleRate() != m_outputRate)
                resampler.emplace(synthesizer->sampleRate(), m_outputRate);
            joiner.startRun();
            synthesizer->say(run.text, [&](const QByteArray& samples) {
                joiner.add(resampler ? resampler->convert(samples) : samples);
            });
            if (resampler)
                joiner.add(resampler->finish());
        } catch (const std::exception& e) {
            tellOnce(u"resample"_s, u"the sound of the voice %1 could not be converted (%2)"_s.arg(
                                        run.voice, QString::fromLocal8Bit(e.what())));
        }
        joiner.endRun(i == plan.runs.size() - 1);
    }
    if (!batch.isEmpty())
        Q_EMIT piece(line, batch);
    Q_EMIT finished(line, joiner.heard() ? QString() : u"no sound was made for \"%1\""_s.arg(text));
}
