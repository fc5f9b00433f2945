// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/MainForm.h"
#include "voice/SpeechVoice.h"
#include "windowkit/AfterFirstPaint.h"
#include "windowkit/ProgramOptions.h"
#include "windowkit/QtDialogs.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <variant>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(u"veyrath"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VEYRATH_VERSION));
    QGuiApplication::setDesktopFileName(u"invalid.veyrath.veyrath"_s);
    std::variant<ProgramOptions, int> options;
    {
        const QCoreApplication withoutWindows(argc, argv);
        options = ProgramOptions::read(ProgramOptions::Texts{
            u"Holds a spoken conversation from the script files in the current folder, or from "
            u"the script that --script or VEYRATH_SCRIPT names."_s,
            u"The script to play"_s, u"postgresql://kiosk@host/museum"_s});
    }
    if (const int* status = std::get_if<int>(&options))
        return *status;

    QApplication app(argc, argv);
    const ProgramOptions& run = std::get<ProgramOptions>(options);
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
