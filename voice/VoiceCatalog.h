// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/VoiceInfo.h"

#include <QChar>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QStringList>

// Every voice the embedded engines offer: libflite's English ones, which read English best,
// and eSpeak NG's, one for each language it speaks; and which of them says what.
class VoiceCatalog {
public:
    // The name that asks for the desktop's own speech service instead.
    static QString systemVoice();

    // The default follows the language of `desktop`: English with libflite, any other with
    // an eSpeak NG voice for it where one is installed.
    explicit VoiceCatalog(const QLocale& desktop = QLocale::system());

    // libflite's first, then eSpeak NG's, then the desktop's service; the default marked.
    const QList<VoiceInfo>& voices() const { return m_voices; }
    QString defaultVoice() const { return m_default; }
    // Why eSpeak NG's voices are missing, in a sentence; empty when they are there.
    QString missing() const { return m_missing; }
    // Why the default is English though the desktop's language is another; empty otherwise.
    QString defaultNote() const { return m_defaultNote; }

    bool contains(const QString& name) const;
    bool isFlite(const QString& name) const;
    // Samples a second the voice is made at.
    int sampleRate(const QString& name) const;
    bool reads(const QString& voice, QChar::Script script) const;
    // The voice that reads `script` where the chosen one cannot: English with libflite,
    // Cyrillic with Russian, Han with Mandarin and so on. Empty when none is installed.
    QString voiceFor(QChar::Script script) const;

private:
    QList<VoiceInfo> m_voices;
    QHash<QString, QList<QChar::Script>> m_reads;
    QString m_default;
    QString m_missing;
    QString m_defaultNote;
    mutable QHash<QChar::Script, QString> m_forScript;
};
