// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/SpeechEngine.h"
#include "voice/VoiceInfo.h"
#include "voice/VoiceSettings.h"

#include <QList>
#include <memory>

// The engine this build speaks with, chosen when it is built: on Linux the voices built in
// (libflite's and eSpeak NG's) or the desktop's speech service, in a module loaded when the
// first engine is made; Qt's text-to-speech where its engines speak reliably.
class PlatformSpeech {
public:
    // What it would tell the person about its choice of voice goes to `complain`.
    static std::unique_ptr<SpeechEngine> create(const VoiceSettings& settings,
                                                const SpeechEngine::Complaint& complain);
    // May take as long as creating the engine. `note` says why some voices are missing.
    static QList<VoiceInfo> voices(QString* note = nullptr);
};
