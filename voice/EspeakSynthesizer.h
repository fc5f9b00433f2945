// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/Synthesizer.h"

#include <QList>
#include <QString>

// Speech in about a hundred languages made in memory by eSpeak NG, through its own API with
// a callback that collects the sound. eSpeak NG keeps one voice and its dictionary for the
// whole process, so every call into it, from any thread, takes one lock, and each text sets
// the voice it is said in.
class EspeakSynthesizer final : public Synthesizer {
public:
    struct Voice {
        QString name;     // what --voice takes: the language tag, made unique ("yue-latn-jyutping")
        QString language; // BCP 47, as eSpeak NG gives it: "de", "en-gb-x-rp"
        QString title;    // "German", "English (America)"
        QByteArray file;  // within eSpeak NG's data: "gmw/de"
    };
    struct Installed {
        QList<Voice> voices;
        QString problem; // why there are none ("... install the package espeak-ng-data")
    };
    // Reads eSpeak NG's data once; later calls answer from memory.
    static const Installed& installed();
    // The names of the voices for that language, the best first (eSpeak NG's own order):
    // "de-AT" finds "de".
    static QStringList voicesFor(const QString& language);
    // The rate eSpeak NG makes every voice at; 0 when it cannot be used.
    static int rate();

    // voice is a name from installed(); rate a factor of the normal speed. Throws
    // std::invalid_argument for a name that is not there, std::runtime_error when eSpeak NG
    // cannot be used.
    explicit EspeakSynthesizer(const QString& voice, double rate = 1.0);

    int sampleRate() const override;
    void say(const QString& text, const Delivery& deliver) const override;
    using Synthesizer::say;

private:
    QByteArray m_file;
    int m_wordsPerMinute;
};
