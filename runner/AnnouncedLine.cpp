// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/AnnouncedLine.h"

#include "windowkit/AccessibleRole.h"

#include <QLabel>

AnnouncedLine::AnnouncedLine(const QString& line, QWidget* parent)
    : QWidget(parent)
{
    AccessibleRole::give(staticMetaObject.className(), QAccessible::Notification);
    // The notification has no name of its own: a screen reader says its labels, and a
    // braille display shows them, so the line is read once and shown in braille too.
    auto* text = new QLabel(this);
    text->setTextFormat(Qt::PlainText);
    text->setText(line);
}
