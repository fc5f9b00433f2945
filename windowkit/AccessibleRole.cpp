// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowkit/AccessibleRole.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QWidget>

namespace {
QHash<QString, QAccessible::Role>& roles()
{
    static QHash<QString, QAccessible::Role> given;
    return given;
}

QAccessibleInterface* withGivenRole(const QString& className, QObject* object)
{
    const auto role = roles().constFind(className);
    auto* widget = qobject_cast<QWidget*>(object);
    // Only the most derived class counts: a subclass of ours keeps the role Qt gives it.
    if (role == roles().cend() || !widget ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    return new QAccessibleWidget(widget, *role);
}
} // namespace

void AccessibleRole::give(const char* className, QAccessible::Role role)
{
    if (roles().isEmpty())
        QAccessible::installFactory(withGivenRole);
    roles().insert(QString::fromLatin1(className), role);
}
