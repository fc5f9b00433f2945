// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/SoundJoiner.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr qsizetype sampleBytes = sizeof(qint16);
// Louder than the hiss libflite leaves in its pauses.
constexpr int loudness = 300;

bool loud(const char* sample)
{
    qint16 value = 0;
    std::memcpy(&value, sample, sizeof value);
    return std::abs(int(value)) > loudness;
}

// Byte offsets of the first and the last loud sample, or -1.
qsizetype firstLoud(const QByteArray& samples)
{
    for (qsizetype at = 0; at + sampleBytes <= samples.size(); at += sampleBytes) {
        if (loud(samples.constData() + at))
            return at;
    }
    return -1;
}

qsizetype lastLoud(const QByteArray& samples)
{
    for (qsizetype at = samples.size() / sampleBytes * sampleBytes - sampleBytes; at >= 0;
         at -= sampleBytes) {
        if (loud(samples.constData() + at))
            return at;
    }
    return -1;
}
} // namespace

SoundJoiner::SoundJoiner(int sampleRate, Output output)
    : m_output(std::move(output))
    // A little quiet before the first sound keeps its onset whole.
    , m_leadInBytes(qsizetype(sampleRate) / 50 * sampleBytes)
    // About the pause between two words.
    , m_gapBytes(qsizetype(sampleRate) * 3 / 20 * sampleBytes)
{
}

void SoundJoiner::startRun()
{
    m_runHeard = false;
}

void SoundJoiner::add(const QByteArray& samples)
{
    if (samples.isEmpty())
        return;
    m_quiet += samples;
    if (!m_runHeard) {
        const qsizetype first = firstLoud(m_quiet);
        if (first < 0) {
            // Only the last of the quiet before the first sound is ever passed on.
            if (m_quiet.size() > m_leadInBytes)
                m_quiet.remove(0, m_quiet.size() - m_leadInBytes);
            return;
        }
        m_quiet.remove(0, qMax<qsizetype>(0, first - m_leadInBytes));
        m_runHeard = m_heard = true;
    }
    const qsizetype last = lastLoud(m_quiet);
    if (last >= 0) {
        m_output(m_quiet.first(last + sampleBytes));
        m_quiet.remove(0, last + sampleBytes);
    }
}

void SoundJoiner::endRun(bool lastOfLine)
{
    if (m_runHeard)
        emitQuiet(lastOfLine ? m_quiet.size() : m_gapBytes);
    m_quiet.clear();
}

void SoundJoiner::emitQuiet(qsizetype mostBytes)
{
    const qsizetype bytes = qMin(mostBytes, m_quiet.size()) / sampleBytes * sampleBytes;
    if (bytes > 0)
        m_output(m_quiet.first(bytes));
}
