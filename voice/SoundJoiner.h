// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <functional>

// Joins the runs of one line, each made by its own voice, into one stream of sound. The
// quiet a voice puts before a run only delays it, and the quiet it leaves after one would be
// a gap in the middle of the line: both are cut to what a pause between two words takes.
// The quiet after the last run is kept, as the line ends there.
class SoundJoiner {
public:
    using Output = std::function<void(const QByteArray& samples)>;

    SoundJoiner(int sampleRate, Output output);

    void startRun();
    // Mono 16-bit samples at the output's rate, in order.
    void add(const QByteArray& samples);
    void endRun(bool lastOfLine);
    // Whether any of the line was loud enough to be heard.
    bool heard() const { return m_heard; }

private:
    void emitQuiet(qsizetype mostBytes);

    Output m_output;
    qsizetype m_leadInBytes;
    qsizetype m_gapBytes;
    QByteArray m_quiet; // since the last loud sample, not yet passed on
    bool m_runHeard = false;
    bool m_heard = false;
};
