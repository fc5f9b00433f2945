// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

struct SRC_STATE_tag;

// Carries sound from one voice's sample rate to the output's, through libsamplerate, so that
// voices made at 16 and 22.05 kHz follow each other in one stream. Mono 16-bit samples, fed
// in pieces as they are made.
class Resampler {
public:
    // Throws std::runtime_error when libsamplerate refuses the rates.
    Resampler(int fromRate, int toRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    QByteArray convert(const QByteArray& samples);
    // What the converter still holds once the input has ended.
    QByteArray finish();

private:
    QByteArray run(const QByteArray& samples, bool last);

    SRC_STATE_tag* m_state;
    double m_ratio;
};
