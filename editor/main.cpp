// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/commands/SpeakCommand.h"
#include "voice/SpeechVoice.h"
#include "windowkit/AfterFirstPaint.h"
#include "windowkit/QtDialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Named as installed, which is also the window class a desktop matches to its menu entry.
    QApplication::setApplicationName(u"veyrath-editor"_s);
    QApplication::setApplicationDisplayName(u"Edit the Veyrath"_s);
    QApplication::setApplicationVersion(QStringLiteral(VEYRATH_VERSION));
    QApplication::setDesktopFileName(u"invalid.veyrath.editor"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Edits the script files in the current folder in four grids."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    // Made before the window and ended after it, as the window's Speak command uses it.
    SpeechVoice voice;
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
