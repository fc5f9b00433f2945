// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/commands/SpeakCommand.h"
#include "script/ScriptError.h"
#include "script/ScriptLocation.h"
#include "voice/PlatformSpeech.h"
#include "voice/SpeechVoice.h"
#include "voice/VoiceOptions.h"
#include "windowkit/AfterFirstPaint.h"
#include "windowkit/QtDialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <cstdio>
#include <variant>

using namespace Qt::Literals::StringLiterals;

namespace {
// What the command line chose for this run.
struct EditOptions {
    // Speak says a line as the runner started with the same options would.
    VoiceSettings voice;
    QString script; // an absolute folder or a server address
};

// Read without a window system, so that --help and --version answer where there is no
// display. Either the options or the exit status of a run that ends here.
std::variant<EditOptions, int> readCommandLine()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Edits the script files in the current folder in four grids, or the script that "
        u"--script or VEYRATH_SCRIPT names."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption scriptOption(
        u"script"_s,
        u"The script to edit: a folder holding the four script files (the current folder by "
        u"default), or a PostgreSQL address such as postgresql://author@host/museum. "
        u"VEYRATH_SCRIPT is read when this is not given."_s,
        u"location"_s);
    parser.addOption(scriptOption);
    const VoiceOptions voiceOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "veyrath-editor: %s\n", qUtf8Printable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(u"version"_s))
        parser.showVersion();
    if (parser.isSet(u"help"_s))
        parser.showHelp();
    if (voiceOptions.listRequested())
        return VoiceOptions::printList(PlatformSpeech::voices);
    const VoiceOptions::Choice voiceChoice =
        voiceOptions.choice([] { return PlatformSpeech::voices(); });
    if (!voiceChoice.error.isEmpty()) {
        std::fprintf(stderr, "veyrath-editor: %s\n", qUtf8Printable(voiceChoice.error));
        return 2;
    }
    // A script that cannot be meant is told here; one that is merely missing or down is told
    // in its tabs.
    const QString chosen = ScriptLocation::chosen(parser.value(scriptOption));
    try {
        const ScriptLocation location = ScriptLocation::parse(chosen);
        if (location.kind() == ScriptLocation::Kind::Server)
            return EditOptions{voiceChoice.settings, chosen};
        if (!QFileInfo(location.folder()).isDir()) {
            std::fprintf(stderr, "veyrath-editor: the folder \"%s\" does not exist\n",
                         qUtf8Printable(location.folder()));
            return 2;
        }
        return EditOptions{voiceChoice.settings, QDir(location.folder()).absolutePath()};
    } catch (const ScriptError& error) {
        std::fprintf(stderr, "veyrath-editor: %s\n", qUtf8Printable(error.message()));
        return 2;
    }
}
} // namespace

int main(int argc, char* argv[])
{
    // Named as installed, which is also the window class a desktop matches to its menu entry.
    QCoreApplication::setApplicationName(u"veyrath-editor"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VEYRATH_VERSION));
    QGuiApplication::setApplicationDisplayName(u"Edit the Veyrath"_s);
    QGuiApplication::setDesktopFileName(u"invalid.veyrath.editor"_s);
    std::variant<EditOptions, int> options;
    {
        const QCoreApplication withoutWindows(argc, argv);
        options = readCommandLine();
    }
    if (const int* status = std::get_if<int>(&options))
        return *status;

    QApplication app(argc, argv);
    // Made before the window and ended after it, as the window's Speak command uses it.
    const EditOptions& edit = std::get<EditOptions>(options);
    SpeechVoice voice(edit.voice);
    QtDialogs dialogs;
    Form1 form(dialogs, edit.script);
    SpeakCommand speak(form, voice);
    // Queued, so the handler that closed the window unwinds before the event loop stops.
    QObject::connect(&form, &Form1::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    // Loading the voice's libraries would take the processor from the first paint; setting
    // the icon looks through Qt's icon plugins and decodes the picture.
    AfterFirstPaint::run(form, [&voice] {
        voice.start();
        QApplication::setWindowIcon(QIcon(u":/icons/veyrath-editor.png"_s));
    });
    return QApplication::exec();
}
