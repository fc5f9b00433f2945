// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/AboutWindow.h"

#include "windowkit/AccessibleRole.h"
#include "windowkit/WindowKit.h"

#include <QLabel>
#include <QPixmap>

using namespace Qt::Literals::StringLiterals;

namespace {
// A text gets the room it was drawn with, or more where its font needs it: "(32-bit)" came
// out cut at the right in the drawn width.
void place(QLabel* label, const QRect& drawn)
{
    label->setGeometry(QRect(drawn.topLeft(), drawn.size().expandedTo(label->sizeHint())));
}
} // namespace

AboutWindow::AboutWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    // As a dialog, not a frame, a screen reader reads its texts as it opens.
    AccessibleRole::give(staticMetaObject.className(), QAccessible::Dialog);
    setObjectName(u"About"_s);
    setWindowTitle(u"About"_s);
    WindowKit::useWindowColours(this);

    auto* picture = new QLabel(this);
    picture->setObjectName(u"Image1"_s);
    picture->setGeometry(WindowKit::rect(240, 360, 615, 525));
    picture->setPixmap(QPixmap(u":/icons/veyrath.png"_s)
                           .scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto* title = new QLabel(u"The Lumbrel Veyrath"_s, this);
    title->setObjectName(u"Label1"_s);
    title->setFont(WindowKit::font(WindowKit::arial(), 13.5, true));
    place(title, WindowKit::rect(1080, 240, 3015, 375));

    auto* version = new QLabel(u"Version 4.03  (32-bit)"_s, this);
    version->setObjectName(u"Label2"_s);
    version->setFont(WindowKit::font(WindowKit::arial(), 12, true));
    place(version, WindowKit::rect(1800, 960, 2295, 255));

    // The drawn size, unless a text grown past it needs more.
    const QRect texts = title->geometry() | version->geometry();
    setFixedSize(WindowKit::size(4455, 2175)
                     .expandedTo({texts.right() + WindowKit::length(240),
                                  texts.bottom() + WindowKit::length(240)}));
}
