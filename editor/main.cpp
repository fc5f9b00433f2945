// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/commands/SpeakCommand.h"
#include "voice/PlatformSpeech.h"
#include "voice/SpeechVoice.h"
#include "voice/VoiceOptions.h"
#include "windowkit/AfterFirstPaint.h"
#include "windowkit/QtDialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <cstdio>
#include <variant>

using namespace Qt::Literals::StringLiterals;

namespace {
// What the command line chose for this run.
struct EditOptions {
    // Speak says a line as the runner started with the same options would.
    VoiceSettings voice;
};

// Read without a window system, so that --help and --version answer where there is no
// display. Either the options or the exit status of a run that ends here.
std::variant<EditOptions, int> readCommandLine()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Edits the script files in the current folder in four grids."_s);
    parser.addHelpOption();
    parser.addVersionOption();
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
    return EditOptions{voiceChoice.settings};
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
    SpeechVoice voice(std::get<EditOptions>(options).voice);
    QtDialogs dialogs;
    Form1 form(dialogs, QDir::currentPath());
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
