// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/VoiceInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

struct cst_voice_struct;

// Speech made whole in memory by libflite, before any of it is played, so that playing never
// waits for it. libflite keeps state of its own between calls: every synthesizer of a
// process must be used from one thread.
class FliteSynthesizer {
public:
    // The voices built in, the default first.
    static QList<VoiceInfo> voices();
    // Samples a second the voice of that name (or the default) is made at: mono, 16-bit
    // signed, native-endian. The sound output converts; libflite's own converter writes over
    // its own input.
    static int sampleRate(const QString& voice);

    // voice is a name from voices() (any case), or empty for the default; rate is a factor of
    // the voice's normal speed. Throws std::invalid_argument for a name that is not there.
    explicit FliteSynthesizer(const QString& voice = {}, double rate = 1.0);

    QString voiceName() const { return m_name; }
    int sampleRate() const { return sampleRate(m_name); }
    // Hands over the samples of one piece of text in order, as they are made: the first few
    // milliseconds of sound come long before the last.
    using Delivery = std::function<void(const QByteArray& samples)>;
    void synthesize(const QString& text, const Delivery& deliver) const;
    // All the samples of one piece at once; empty when it holds nothing to say.
    QByteArray synthesize(const QString& text) const;

private:
    QString m_name;
    cst_voice_struct* m_voice;
    double m_rate;
};
