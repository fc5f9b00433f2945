// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/PlatformSpeech.h"

#ifdef VEYRATH_FLITE
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#else
#include "voice/QtSpeechEngine.h"
#endif

using namespace Qt::Literals::StringLiterals;

namespace {
#ifdef VEYRATH_FLITE
// The module in lib/veyrath/voice/veyrath-flite.so (a folder of its own, as a private module
// is no library for the system to index), found from where the program runs: bin/ for the
// runner, built or installed, and lib/veyrath/ itself for the installed editor, whose generic
// name "editor" is the system's. Loaded once and kept, as its engines live until the end.
QLibrary& fliteModule()
{
    static QLibrary module([] {
        const QString dir = QCoreApplication::applicationDirPath();
        const QString besideBin = dir + u"/../lib/veyrath/voice/veyrath-flite"_s;
        const QString withinLib = dir + u"/voice/veyrath-flite"_s;
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

std::unique_ptr<SpeechEngine> PlatformSpeech::create(const VoiceSettings& settings)
{
#ifdef VEYRATH_FLITE
    using Create = SpeechEngine* (*)(const VoiceSettings&);
    const auto create = reinterpret_cast<Create>(fliteModule().resolve("veyrathFliteEngine"));
    if (!create)
        return std::make_unique<MissingEngine>(
            u"the voice module could not be loaded: %1"_s.arg(fliteModule().errorString()));
    return std::unique_ptr<SpeechEngine>(create(settings));
#else
    return QtSpeechEngine::create(settings);
#endif
}

QList<VoiceInfo> PlatformSpeech::voices()
{
#ifdef VEYRATH_FLITE
    using List = void (*)(QList<VoiceInfo>&);
    QList<VoiceInfo> voices;
    if (const auto list = reinterpret_cast<List>(fliteModule().resolve("veyrathFliteVoices")))
        list(voices);
    return voices;
#else
    return QtSpeechEngine::voices();
#endif
}
