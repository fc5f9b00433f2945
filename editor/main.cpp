#include "editor/Form1.h"
#include "windowkit/QtDialogs.h"

#include <QApplication>
#include <QDir>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"editor"_s);
    QApplication::setApplicationDisplayName(u"Edit the Veyrath"_s);
    QtDialogs dialogs;
    Form1 form(dialogs, QDir::currentPath());
    // Queued, so the handler that closed the window unwinds before the event loop stops.
    QObject::connect(&form, &Form1::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    return QApplication::exec();
}
