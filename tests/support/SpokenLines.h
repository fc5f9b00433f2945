// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/VoiceSettings.h"

#include <QByteArray>
#include <QStringList>

// What the programs' synthesis thread makes of lines, one after the other, in memory and
// without a sound device: the sound of each and what it told the person.
class SpokenLines {
public:
    struct Line {
        QByteArray samples; // mono, 16 bits
        QString failure;
        int sampleRate = 0;
        double seconds() const;
        double rms() const;
        // Its loudness, 20 ms at a time.
        QList<double> envelope() const;
        // How long it is loud enough to be speech, in 20 ms frames.
        double voicedSeconds() const;
        // The longest quiet stretch between its first and its last sound.
        double longestGap() const;
    };

    // The voice named in `settings`, or the default of an English desktop.
    explicit SpokenLines(const QStringList& texts, VoiceSettings settings = {});

    QList<Line> lines;
    QStringList complaints;
};
