// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// A voice an engine offers, as the person choosing one sees it.
struct VoiceInfo {
    QString name;               // what --voice takes: "slt", "de", "system"
    QString language;           // "German", "English (America), female"
    QString engine;             // "flite", "eSpeak NG", "speech-dispatcher"
    QStringList writingSystems; // "Latin", "Cyrillic"; empty when the engine decides
    bool isDefault = false;     // spoken with when no voice is named
};
