// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/LineAnnouncer.h"

#include "runner/AnnouncedLine.h"
#include "windowkit/AccessibleRole.h"

#include <QAccessibleEvent>

LineAnnouncer::LineAnnouncer(QWidget* parent)
    : QWidget(parent)
{
    AccessibleRole::give(staticMetaObject.className(), QAccessible::StatusBar);
    hide();
}

void LineAnnouncer::announce(const QString& line)
{
    if (!QAccessible::isActive())
        return; // no screen reader is listening
    if (m_lines.size() == kept) {
        AnnouncedLine* oldest = m_lines.takeFirst();
        QAccessibleEvent gone(oldest, QAccessible::ObjectDestroyed);
        QAccessible::updateAccessibility(&gone);
        delete oldest;
    }
    // A new notification for every line: one changed in place could be read by a screen
    // reader only after the next line had replaced its text.
    auto* latest = new AnnouncedLine(line, this);
    m_lines.append(latest);
    QAccessibleEvent made(latest, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&made);
    QAccessibleEvent shown(latest, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
