// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/AboutWindow.h"

#include "windowkit/AccessibleRole.h"
#include "windowkit/WindowKit.h"

#include <QLabel>
#include <QPixmap>

using namespace Qt::Literals::StringLiterals;

AboutWindow::AboutWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    // As a dialog, not a frame, a screen reader reads its texts as it opens.
    AccessibleRole::give(staticMetaObject.className(), QAccessible::Dialog);
    setObjectName(u"About"_s);
    setWindowTitle(u"About"_s);
    setFixedSize(WindowKit::size(4455, 2175));
    WindowKit::useWindowColours(this);

    auto* picture = new QLabel(this);
    picture->setObjectName(u"Image1"_s);
    picture->setGeometry(WindowKit::rect(240, 360, 615, 525));
    picture->setPixmap(QPixmap(u":/icons/veyrath.png"_s)
                           .scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto* title = new QLabel(u"The Lumbrel Veyrath"_s, this);
    title->setObjectName(u"Label1"_s);
    title->setGeometry(WindowKit::rect(1080, 240, 3015, 375));
    title->setFont(WindowKit::font(WindowKit::arial(), 13.5, true));

    auto* version = new QLabel(u"Version 4.03  (32-bit)"_s, this);
    version->setObjectName(u"Label2"_s);
    version->setGeometry(WindowKit::rect(1800, 960, 2295, 255));
    version->setFont(WindowKit::font(WindowKit::arial(), 12, true));
}
