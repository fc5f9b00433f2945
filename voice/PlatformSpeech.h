// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/SpeechEngine.h"
#include "voice/VoiceInfo.h"
#include "voice/VoiceSettings.h"

#include <QList>
#include <memory>

// The engine this build speaks with, chosen when it is built: libflite where Qt's own
// engine for the platform loses lines (Linux), Qt's text-to-speech where its engines speak
// reliably.
class PlatformSpeech {
public:
    static std::unique_ptr<SpeechEngine> create(const VoiceSettings& settings);
    // May take as long as creating the engine.
    static QList<VoiceInfo> voices();
};
