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

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"veyrath"_s);
    QApplication::setApplicationVersion(QStringLiteral(VEYRATH_VERSION));
    QApplication::setDesktopFileName(u"invalid.veyrath.veyrath"_s);

    // Everything on the command line is read before the window opens, and a wrong value ends
    // the run there: nothing is kept for the next one.
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
    if (voiceOptions.listRequested()) {
        const QList<VoiceInfo> voices = PlatformSpeech::voices();
        if (voices.isEmpty()) {
            std::fputs("veyrath: no voice is installed.\n", stderr);
            return 1;
        }
        std::fputs(qUtf8Printable(VoiceOptions::listing(voices)), stdout);
        return 0;
    }
    const VoiceOptions::Choice voiceChoice = voiceOptions.choice(&PlatformSpeech::voices);
    if (!voiceChoice.error.isEmpty()) {
        std::fprintf(stderr, "veyrath: %s\n", qUtf8Printable(voiceChoice.error));
        return 2;
    }

    // A script that cannot be meant is told here; one that is merely missing or down is told
    // in the window, file by file, as it always was.
    const QString chosen = ScriptLocation::chosen(parser.value(scriptOption));
    QString script;
    try {
        const ScriptLocation location = ScriptLocation::parse(chosen);
        if (location.kind() == ScriptLocation::Kind::Server) {
            script = chosen;
        } else if (!QFileInfo(location.folder()).isDir()) {
            std::fprintf(stderr, "veyrath: the folder \"%s\" does not exist\n",
                         qUtf8Printable(location.folder()));
            return 2;
        } else {
            script = QDir(location.folder()).absolutePath();
        }
    } catch (const ScriptError& error) {
        std::fprintf(stderr, "veyrath: %s\n", qUtf8Printable(error.message()));
        return 2;
    }

    SpeechVoice voice(voiceChoice.settings);
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
