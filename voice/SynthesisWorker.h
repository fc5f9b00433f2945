// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/VoiceSettings.h"

#include <QByteArray>
#include <QObject>
#include <memory>

class FliteSynthesizer;

// Makes the sound of each line on a thread of its own, piece by piece, so that the sound
// output, which must be fed on time, never waits behind it. All of libflite's work happens
// here.
class SynthesisWorker final : public QObject {
    Q_OBJECT

public:
    explicit SynthesisWorker(VoiceSettings settings);
    ~SynthesisWorker() override;

    // Loads the voice and makes a word, so that the first line is not the slow one.
    void start();
    void synthesize(quint64 line, const QString& text);

Q_SIGNALS:
    void piece(quint64 line, const QByteArray& samples);
    // failure is empty when the whole line was made.
    void finished(quint64 line, const QString& failure);
    void broken(const QString& reason);

private:
    VoiceSettings m_settings;
    std::unique_ptr<FliteSynthesizer> m_synthesizer;
};
