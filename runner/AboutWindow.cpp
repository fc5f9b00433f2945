#include "AboutWindow.h"

#include "Twips.h"

#include <QLabel>
#include <QPixmap>

using namespace Qt::Literals::StringLiterals;

AboutWindow::AboutWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(u"About"_s);
    setWindowTitle(u"About"_s);
    setFixedSize(Twips::size(4455, 2175));
    Twips::useWindowColours(this);

    auto* picture = new QLabel(this);
    picture->setObjectName(u"Image1"_s);
    picture->setGeometry(Twips::rect(240, 360, 615, 525));
    picture->setPixmap(QPixmap(u":/icons/veyrath.png"_s)
                           .scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto* title = new QLabel(u"The Lumbrel Veyrath"_s, this);
    title->setObjectName(u"Label1"_s);
    title->setGeometry(Twips::rect(1080, 240, 3015, 375));
    title->setFont(Twips::font(Twips::arial(), 13.5, true));

    auto* version = new QLabel(u"Version 4.03  (32-bit)"_s, this);
    version->setObjectName(u"Label2"_s);
    version->setGeometry(Twips::rect(1800, 960, 2295, 255));
    version->setFont(Twips::font(Twips::arial(), 12, true));
}
