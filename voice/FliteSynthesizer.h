// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/Synthesizer.h"
#include "voice/VoiceInfo.h"

#include <QList>

struct cst_voice_struct;

// English speech made in memory by libflite, the voice that reads English best. Accents are
// read as plain letters and a line of marks alone has its marks named, so that it is heard.
class FliteSynthesizer final : public Synthesizer {
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
    int sampleRate() const override { return sampleRate(m_name); }
    // Sentence by sentence, so that the first sound waits only for the first one.
    void say(const QString& text, const Delivery& deliver) const override;
    using Synthesizer::say;

private:
    void synthesize(const QString& text, const Delivery& deliver) const;

    QString m_name;
    cst_voice_struct* m_voice;
    double m_rate;
};
