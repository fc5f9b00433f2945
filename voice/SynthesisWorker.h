// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/LinePlan.h"
#include "voice/VoiceSettings.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <memory>

class Synthesizer;
class VoiceCatalog;

// Makes the sound of each line on a thread of its own, piece by piece, so that the sound
// output, which must be fed on time, never waits behind it. All of libflite's and eSpeak
// NG's work happens here. A line in several writing systems is made run by run, each by a
// voice that reads it, into one stream at the output's rate.
class SynthesisWorker final : public QObject {
    Q_OBJECT

public:
    // settings.voice names the voice that says the line (one of the catalog's); outputRate is
    // the sample rate of the sound handed on.
    SynthesisWorker(std::shared_ptr<VoiceCatalog> catalog, VoiceSettings settings, int outputRate);
    ~SynthesisWorker() override;

    // Loads the voice and makes a word, so that the first line is not the slow one.
    void start();
    void synthesize(quint64 line, const QString& text);

Q_SIGNALS:
    void piece(quint64 line, const QByteArray& samples);
    // failure is empty when the whole line was made.
    void finished(quint64 line, const QString& failure);
    void broken(const QString& reason);
    // Something left unsaid, told once for each kind, in a full sentence.
    void complaint(const QString& sentence);

private:
    // Throws when the voice cannot be had.
    std::shared_ptr<Synthesizer> make(const QString& name) const;
    // Made when first needed; null for one that cannot be had, which is told once.
    Synthesizer* voice(const QString& name);
    void tellOnce(const QString& kind, const QString& sentence);

    std::shared_ptr<VoiceCatalog> m_catalog;
    VoiceSettings m_settings;
    int m_outputRate;
    LinePlan m_plan;
    QHash<QString, std::shared_ptr<Synthesizer>> m_voices; // null for one that failed to load
    QSet<QString> m_told;
};
