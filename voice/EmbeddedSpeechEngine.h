// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/PcmStream.h"
#include "voice/SpeechEngine.h"
#include "voice/VoiceSettings.h"

#include <QAudio>
#include <QObject>
#include <QThread>
#include <memory>

class QAudioSink;
class SynthesisWorker;
class VoiceCatalog;

// The voices built in, libflite's and eSpeak NG's, each line made in memory before it is
// played through the sound output. Qt 6.4's own flite engine plays while it synthesizes and
// gives up when playing catches up, losing lines; here playing only ever waits for a
// finished piece.
//
// Lines follow each other in one stream of sound, so a line is never cut off by the next:
// the engine is Ready again as soon as a line is made, and the next one is made while it
// plays.
class EmbeddedSpeechEngine final : public QObject, public SpeechEngine {
    Q_OBJECT

public:
    // settings.voice names one of the catalog's voices, which says the lines; others say
    // what it cannot read.
    static std::unique_ptr<SpeechEngine> create(std::shared_ptr<VoiceCatalog> catalog,
                                                const VoiceSettings& settings);
    ~EmbeddedSpeechEngine() override;

    State state() const override { return m_state; }
    QString errorString() const override { return m_error; }
    void say(const QString& text) override;
    void stop() override;

private:
    EmbeddedSpeechEngine(std::shared_ptr<VoiceCatalog> catalog, const VoiceSettings& settings);
    bool outputOpen();
    void become(State state);
    void onPiece(quint64 line, const QByteArray& samples);
    void onFinished(quint64 line, const QString& failure);
    void onOutputState(QAudio::State state);

    VoiceSettings m_settings;
    QThread m_thread;
    SynthesisWorker* m_worker = nullptr;
    PcmStream m_stream;
    QByteArray m_pauseAfterLine;
    std::unique_ptr<QAudioSink> m_output;
    State m_state = State::Ready;
    QString m_error;
    bool m_broken = false; // the voice or the output cannot work at all
    quint64 m_line = 0;    // pieces of any other line come too late and are dropped
};
