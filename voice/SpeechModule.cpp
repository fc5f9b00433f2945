// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The entry points of the module that holds the voices. The programs load it on their speech
// thread, so that neither libflite, eSpeak NG, libspeechd nor Qt Multimedia, with the score
// of libraries they bring, is loaded before the window shows.
#include "voice/DesktopSpeechEngine.h"
#include "voice/EmbeddedSpeechEngine.h"
#include "voice/FallbackSpeechEngine.h"
#include "voice/VoiceCatalog.h"

using namespace Qt::Literals::StringLiterals;

namespace {
std::unique_ptr<SpeechEngine> embedded(VoiceSettings settings,
                                       const SpeechEngine::Complaint& complain)
{
    auto catalog = std::make_shared<VoiceCatalog>();
    if (!catalog->missing().isEmpty())
        complain(catalog->missing());
    if (settings.voice.isEmpty() || !catalog->contains(settings.voice)) {
        settings.voice = catalog->defaultVoice();
        if (!catalog->defaultNote().isEmpty())
            complain(catalog->defaultNote());
    }
    return EmbeddedSpeechEngine::create(std::move(catalog), settings);
}
} // namespace

extern "C" Q_DECL_EXPORT SpeechEngine* veyrathSpeechEngine(const VoiceSettings& settings,
                                                           const SpeechEngine::Complaint& complain)
{
    if (settings.voice != VoiceCatalog::systemVoice())
        return embedded(settings, complain).release();
    VoiceSettings builtIn = settings;
    builtIn.voice.clear();
    QString why;
    std::unique_ptr<SpeechEngine> desktop = DesktopSpeechEngine::connect(settings, why);
    if (!desktop) {
        complain(u"the desktop's speech service cannot be reached (%1); the voices built in "
                 u"speak instead"_s.arg(why));
        return embedded(builtIn, complain).release();
    }
    return new FallbackSpeechEngine(
        std::move(desktop), [builtIn, complain] { return embedded(builtIn, complain); },
        u"the desktop's speech service failed"_s);
}

extern "C" Q_DECL_EXPORT void veyrathVoices(QList<VoiceInfo>& voices, QString& note)
{
    const VoiceCatalog catalog;
    voices = catalog.voices();
    note = catalog.missing();
}
