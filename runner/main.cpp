// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/MainForm.h"
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
#include <QTimer>
#include <cstdio>
#include <variant>

using namespace Qt::Literals::StringLiterals;

namespace {
// What the command line chose for this run; nothing of it is kept for the next.
struct RunOptions {
    VoiceSettings voice;
    QString script; // an absolute folder or a server address
};

// Everything on the command line is read before the window opens, without a window system,
// so that --help, --version and --list-voices answer where there is no display, and a wrong
// value ends the run there. Either the options or the exit status of a run that ends here.
std::variant<RunOptions, int> readCommandLine()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Holds a spoken conversation from the script files in the current folder, or from the "
        u"script that --script or VEYRATH_SCRIPT names."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption scriptOption(
        u"script"_s,
        u"The script to play: a folder holding the four script files (the current folder by "
        u"default), or a PostgreSQL address such as postgresql://kiosk@host/museum. "
        u"VEYRATH_SCRIPT is read when this is not given."_s,
        u"location"_s);
    parser.addOption(scriptOption);
    const VoiceOptions voiceOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "veyrath: %s\n", qUtf8Printable(parser.errorText()));
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
        std::fprintf(stderr, "veyrath: %s\n", qUtf8Printable(voiceChoice.error));
        return 2;
    }
    // A script that cannot be meant is told here; one that is merely missing or down is told
    // in the window, file by file, as it always was.
    const QString chosen = ScriptLocation::chosen(parser.value(scriptOption));
    try {
        const ScriptLocation location = ScriptLocation::parse(chosen);
        if (location.kind() == ScriptLocation::Kind::Server)
            return RunOptions{voiceChoice.settings, chosen};
        if (!QFileInfo(location.folder()).isDir()) {
            std::fprintf(stderr, "veyrath: the folder \"%s\" does not exist\n",
                         qUtf8Printable(location.folder()));
            return 2;
        }
        return RunOptions{voiceChoice.settings, QDir(location.folder()).absolutePath()};
    } catch (const ScriptError& error) {
        std::fprintf(stderr, "veyrath: %s\n", qUtf8Printable(error.message()));
        return 2;
    }
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(u"veyrath"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VEYRATH_VERSION));
    QGuiApplication::setDesktopFileName(u"invalid.veyrath.veyrath"_s);
    std::variant<RunOptions, int> options;
    {
        const QCoreApplication withoutWindows(argc, argv);
        options = readCommandLine();
    }
    if (const int* status = std::get_if<int>(&options))
        return *status;

    QApplication app(argc, argv);
    const RunOptions& run = std::get<RunOptions>(options);
    SpeechVoice voice(run.voice);
    const QString& script = run.script;
    QtDialogs dialogs;
    MainForm form(dialogs, voice, script);
    // Queued, so the handler that ended the program unwinds before the event loop stops.
    QObject::connect(&form, &MainForm::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    // Only once the window is up: messages about the script files belong over the window.
    QTimer::singleShot(0, &form, [&] { form.load(); });
    // The voice is made on a thread of its own, but loading its libraries would still take
    // the processor from the window's first paint; no one presses Start before that. The
    // icon too: setting it looks through Qt's icon plugins and decodes the picture.
    AfterFirstPaint::run(form, [&] {
        voice.start();
        QApplication::setWindowIcon(QIcon(u":/icons/veyrath.png"_s));
    });
    return QApplication::exec();
}
