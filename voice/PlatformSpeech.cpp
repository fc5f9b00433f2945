#include "voice/PlatformSpeech.h"

#ifdef VEYRATH_FLITE
#include "voice/FliteSpeechEngine.h"
#include "voice/FliteSynthesizer.h"
#else
#include "voice/QtSpeechEngine.h"
#endif

std::unique_ptr<SpeechEngine> PlatformSpeech::create(const VoiceSettings& settings)
{
#ifdef VEYRATH_FLITE
    return FliteSpeechEngine::create(settings);
#else
    return QtSpeechEngine::create(settings);
#endif
}

QList<VoiceInfo> PlatformSpeech::voices()
{
#ifdef VEYRATH_FLITE
    return FliteSynthesizer::voices();
#else
    return QtSpeechEngine::voices();
#endif
}
