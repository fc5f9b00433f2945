// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/commands/SpeakCommand.h"
#include "voice/SpeechVoice.h"
#include "windowkit/AfterFirstPaint.h"
#include "windowkit/ProgramOptions.h"
#include "windowkit/QtDialogs.h"

#include <QApplication>
#include <QIcon>
#include <variant>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    // Named as installed, which is also the window class a desktop matches to its menu entry.
    QCoreApplication::setApplicationName(u"veyrath-editor"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VEYRATH_VERSION));
    QGuiApplication::setApplicationDisplayName(u"Edit the Veyrath"_s);
    QGuiApplication::setDesktopFileName(u"invalid.veyrath.editor"_s);
    std::variant<ProgramOptions, int> options;
    {
        const QCoreApplication withoutWindows(argc, argv);
        options = ProgramOptions::read(ProgramOptions::Texts{
            u"Edits the script files in the current folder in four grids, or the script that "
            u"--script or VEYRATH_SCRIPT names."_s,
            u"The script to edit"_s, u"postgresql://author@host/museum"_s});
    }
    if (const int* status = std::get_if<int>(&options))
        return *status;

    QApplication app(argc, argv);
    // Made before the window and ended after it, as the window's Speak command uses it.
    const ProgramOptions& edit = std::get<ProgramOptions>(options);
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
