// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// One embedded voice that makes speech in memory: mono, 16-bit signed, native-endian samples
// at its own rate. Each keeps library state of its own between calls, so all the
// synthesizers of a process are used from one thread.
class Synthesizer {
public:
    using Delivery = std::function<void(const QByteArray& samples)>;

    virtual ~Synthesizer() = default;
    virtual int sampleRate() const = 0;
    // Hands over the sound of a run of text in order, as it is made: the first few
    // milliseconds come long before the last. Nothing is delivered for a text with nothing
    // to say.
    virtual void say(const QString& text, const Delivery& deliver) const = 0;

    // All of it at once.
    QByteArray say(const QString& text) const
    {
        QByteArray samples;
        say(text, [&](const QByteArray& more) { samples += more; });
        return samples;
    }
};
