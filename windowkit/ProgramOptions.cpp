// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowkit/ProgramOptions.h"

#include "script/ScriptError.h"
#include "script/ScriptLocation.h"
#include "voice/PlatformSpeech.h"
#include "voice/VoiceOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
int refused(const QString& why)
{
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(QCoreApplication::applicationName()),
                 qUtf8Printable(why));
    return 2;
}
} // namespace

std::variant<ProgramOptions, int> ProgramOptions::read(const Texts& texts)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(texts.description);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption scriptOption(
        u"script"_s,
        u"%1: a folder holding the four script files (the current folder by default), or a "
        u"PostgreSQL address such as %2. VEYRATH_SCRIPT is read when this is not given."_s.arg(
            texts.scriptUse, texts.serverExample),
        u"location"_s);
    parser.addOption(scriptOption);
    const VoiceOptions voiceOptions(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return refused(parser.errorText());
    if (parser.isSet(u"version"_s))
        parser.showVersion();
    if (parser.isSet(u"help"_s))
        parser.showHelp();
    if (voiceOptions.listRequested())
        return VoiceOptions::printList(PlatformSpeech::voices);
    const VoiceOptions::Choice voiceChoice =
        voiceOptions.choice([] { return PlatformSpeech::voices(); });
    if (!voiceChoice.error.isEmpty())
        return refused(voiceChoice.error);
    const QString chosen = ScriptLocation::chosen(parser.value(scriptOption));
    try {
        const ScriptLocation location = ScriptLocation::parse(chosen);
        if (location.kind() == ScriptLocation::Kind::Server)
            return ProgramOptions{voiceChoice.settings, chosen};
        if (!QFileInfo(location.folder()).isDir())
            return refused(u"the folder \"%1\" does not exist"_s.arg(location.folder()));
        return ProgramOptions{voiceChoice.settings, QDir(location.folder()).absolutePath()};
    } catch (const ScriptError& error) {
        return refused(error.message());
    }
}
