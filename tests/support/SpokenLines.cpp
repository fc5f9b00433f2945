// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/SpokenLines.h"

#include "voice/SynthesisWorker.h"
#include "voice/VoiceCatalog.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double frameSeconds = 0.02;
constexpr double speech = 300; // RMS of a frame above the hiss of a pause

} // namespace

QList<double> SpokenLines::Line::envelope() const
{
    const Line& line = *this;
    const auto* sample = reinterpret_cast<const qint16*>(line.samples.constData());
    const qsizetype count = line.samples.size() / qsizetype(sizeof(qint16));
    const auto size = qsizetype(line.sampleRate * frameSeconds);
    QList<double> rms;
    for (qsizetype at = 0; at + size <= count; at += size) {
        double sum = 0;
        for (qsizetype i = at; i < at + size; ++i)
            sum += double(sample[i]) * sample[i];
        rms << std::sqrt(sum / double(size));
    }
    return rms;
}

double SpokenLines::Line::seconds() const
{
    return double(samples.size()) / sizeof(qint16) / sampleRate;
}

double SpokenLines::Line::rms() const
{
    const auto* sample = reinterpret_cast<const qint16*>(samples.constData());
    const qsizetype count = samples.size() / qsizetype(sizeof(qint16));
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(sample[i]) * sample[i];
    return count ? std::sqrt(sum / double(count)) : 0.0;
}

double SpokenLines::Line::voicedSeconds() const
{
    const QList<double> rms = envelope();
    return frameSeconds * double(std::count_if(rms.cbegin(), rms.cend(),
                                               [](double frame) { return frame > speech; }));
}

double SpokenLines::Line::longestGap() const
{
    qsizetype longest = 0;
    qsizetype quiet = 0;
    bool heard = false;
    for (const double frame : envelope()) {
        if (frame > speech) {
            if (heard)
                longest = qMax(longest, quiet);
            heard = true;
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return frameSeconds * double(longest);
}

SpokenLines::SpokenLines(const QStringList& texts, VoiceSettings settings)
{
    auto catalog = std::make_shared<VoiceCatalog>(QLocale::c());
    if (settings.voice.isEmpty())
        settings.voice = catalog->defaultVoice();
    const int sampleRate = catalog->sampleRate(settings.voice);
    SynthesisWorker worker(catalog, std::move(settings), sampleRate);
    QObject::connect(&worker, &SynthesisWorker::piece, &worker,
                     [&](quint64, const QByteArray& samples) { lines.last().samples += samples; });
    QObject::connect(&worker, &SynthesisWorker::finished, &worker,
                     [&](quint64, const QString& failure) { lines.last().failure = failure; });
    QObject::connect(&worker, &SynthesisWorker::complaint, &worker,
                     [&](const QString& sentence) { complaints << sentence; });
    QObject::connect(&worker, &SynthesisWorker::broken, &worker,
                     [&](const QString& why) { complaints << why; });
    worker.start();
    for (const QString& text : texts) {
        lines << Line{{}, {}, sampleRate};
        worker.synthesize(quint64(lines.size()), text);
    }
}
