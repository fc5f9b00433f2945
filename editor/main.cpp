#include "editor/Form1.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"editor"_s);
    QApplication::setApplicationDisplayName(u"Edit the Veyrath"_s);
    Form1 form;
    form.show();
    return QApplication::exec();
}
