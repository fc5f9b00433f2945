#include "runner/MainForm.h"
#include "voice/SpeechVoice.h"
#include "windowkit/QtDialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"veyrath"_s);
    QApplication::setApplicationVersion(QStringLiteral(VEYRATH_VERSION));
    QApplication::setDesktopFileName(u"invalid.veyrath.veyrath"_s);
    QApplication::setWindowIcon(QIcon(u":/icons/veyrath.png"_s));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Holds a spoken conversation from the script files in the current folder."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    SpeechVoice voice;
    QtDialogs dialogs;
    MainForm form(dialogs, voice, QDir::currentPath());
    // Queued, so the handler that ended the program unwinds before the event loop stops.
    QObject::connect(&form, &MainForm::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    // Only once the window is up: the voice may take seconds to create, and messages about
    // the script files belong over the window.
    QTimer::singleShot(0, &form, [&] {
        voice.start();
        form.load();
    });
    return QApplication::exec();
}
