// The yardstick for start-up figures: the barest Qt Widgets window this project can build.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(303, 141);
    window.show();
    return QApplication::exec();
}
