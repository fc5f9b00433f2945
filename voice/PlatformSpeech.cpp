// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/PlatformSpeech.h"

#ifdef VEYRATH_EMBEDDED_VOICES
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#else
#include "voice/QtSpeechEngine.h"
#endif

using namespace Qt::Literals::StringLiterals;

namespace {
#ifdef VEYRATH_EMBEDDED_VOICES
// The module in lib/veyrath/voice/veyrath-speech.so (a folder of its own, as a private module
// is no library for the system to index), found from where the program runs: bin/ for the
// runner, built or installed, and lib/veyrath/ itself for the installed editor, whose generic
// name "editor" is the system's. Loaded once and kept, as its engines live until the end.
QLibrary& speechModule()
{
    static QLibrary module([] {
        const QString dir = QCoreApplication::applicationDirPath();
        const QString besideBin = dir + u"/../lib/veyrath/voice/veyrath-speech"_s;
        const QString withinLib = dir + u"/voice/veyrath-speech"_s;
        return QFileInfo::exists(besideBin + u".so"_s) || !QFileInfo::exists(withinLib + u".so"_s)
                   ? besideBin
                   : withinLib;
    }());
    return module;
}

// Stands for an engine that could not be had, so that the queue can say why.
class MissingEngine final : public SpeechEngine {
public:
    explicit MissingEngine(QString why)
        : m_why(std::move(why))
    {
    }
    State state() const override { return State::Error; }
    QString errorString() const override { return m_why; }
    void say(const QString&) override { notify(State::Error); }
    void stop() override {}

private:
    QString m_why;
};
#endif
} // namespace

std::unique_ptr<SpeechEngine> PlatformSpeech::create(const VoiceSettings& settings,
                                                     const SpeechEngine::Complaint& complain)
{
#ifdef VEYRATH_EMBEDDED_VOICES
    using Create = SpeechEngine* (*)(const VoiceSettings&, const SpeechEngine::Complaint&);
    const auto create = reinterpret_cast<Create>(speechModule().resolve("veyrathSpeechEngine"));
    if (!create)
        return std::make_unique<MissingEngine>(
            u"the voice module could not be loaded: %1"_s.arg(speechModule().errorString()));
    return std::unique_ptr<SpeechEngine>(create(settings, complain));
#else
    Q_UNUSED(complain);
    return QtSpeechEngine::create(settings);
#endif
}

QList<VoiceInfo> PlatformSpeech::voices(QString* note)
{
#ifdef VEYRATH_EMBEDDED_VOICES
    using List = void (*)(QList<VoiceInfo>&, QString&);
    QList<VoiceInfo> voices;
    QString missing;
    if (const auto list = reinterpret_cast<List>(speechModule().resolve("veyrathVoices")))
        list(voices, missing);
    else
        missing = u"the voice module could not be loaded: %1"_s.arg(speechModule().errorString());
    if (note)
        *note = missing;
    return voices;
#else
    if (note)
        note->clear();
    return QtSpeechEngine::voices();
#endif
}
