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
    // Every voice is made at this rate, mono, 16-bit signed native-endian samples.
    static constexpr int SampleRate = 16000;

    // The voices built in, the default first.
    static QList<VoiceInfo> voices();

    // voice is a name from voices() (any case), or empty for the default; rate is a factor of
    // the voice's normal speed. Throws std::invalid_argument for a name that is not there.
    explicit FliteSynthesizer(const QString& voice = {}, double rate = 1.0);

    QString voiceName() const { return m_name; }
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
