// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/About.h"

#include "windowkit/AccessibleRole.h"
#include "windowkit/WindowKit.h"

#include <QLabel>
#include <QPixmap>

using namespace Qt::Literals::StringLiterals;

namespace {
QLabel* boldLabel(QWidget* parent, const QString& name, const QString& text, qreal points,
                  QPoint at)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(WindowKit::font(WindowKit::arial(), points, true));
    label->move(at);
    label->adjustSize();
    return label;
}
} // namespace

About::About(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    Q_INIT_RESOURCE(editor); // the picture lives in a static library
    // As a dialog, not a frame, a screen reader reads its texts as it opens.
    AccessibleRole::give(staticMetaObject.className(), QAccessible::Dialog);
    setObjectName(u"About"_s);
    setWindowTitle(u"About"_s);
    setFixedSize(WindowKit::length(4815), WindowKit::length(2040));

    auto* image = new QLabel(this);
    image->setObjectName(u"Image1"_s);
    image->setGeometry(WindowKit::rect(240, 360, 480, 480));
    image->setScaledContents(true);
    image->setPixmap(QPixmap(u":/icons/veyrath-editor.png"_s));

    boldLabel(this, u"Label1"_s, u"Edit the Veyrath"_s, 13.5,
              {WindowKit::length(1560), WindowKit::length(240)});
    boldLabel(this, u"Label2"_s, u"Version 1.0  (32-bit)"_s, 12,
              {WindowKit::length(1560), WindowKit::length(600)});
}
