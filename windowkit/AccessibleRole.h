// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAccessible>

// Qt tells a screen reader what a widget is from its class: a QLabel is a label, a window
// is a frame. A screen reader acts on some roles of its own accord, reading a dialog's texts
// as it opens and a notification as it appears, and no Qt widget class carries those roles.
// This gives one of our classes such a role; the widget is otherwise presented as Qt presents
// any widget, its children included.
namespace AccessibleRole {
// Widgets whose most derived class is `className` (as moc names it) present `role`. Call it
// before the first such widget is made: Qt keeps the presentation it made first.
void give(const char* className, QAccessible::Role role);
} // namespace AccessibleRole
