// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The entry points of the module that holds libflite's voice. The runner loads it on its
// speech thread, so that neither libflite nor Qt Multimedia, with the score of libraries they
// bring, is loaded before its window shows.
#include "voice/FliteSpeechEngine.h"
#include "voice/FliteSynthesizer.h"

extern "C" Q_DECL_EXPORT SpeechEngine* veyrathFliteEngine(const VoiceSettings& settings)
{
    return FliteSpeechEngine::create(settings).release();
}

extern "C" Q_DECL_EXPORT void veyrathFliteVoices(QList<VoiceInfo>& voices)
{
    voices = FliteSynthesizer::voices();
}
