// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/ScreenReaderSpy.h"

#include <QAccessible>
#include <QApplication>
#include <QWidget>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
ScreenReaderSpy* listening = nullptr;

QPlatformAccessibility* platform()
{
    return QGuiApplicationPrivate::platformIntegration()->accessibility();
}

struct Label {
    QRect place;
    QString text;
};

void collectLabels(QAccessibleInterface* under, QList<Label>& labels)
{
    for (int i = 0; i < under->childCount(); ++i) {
        QAccessibleInterface* child = under->child(i);
        if (!child)
            continue;
        if (child->role() == QAccessible::StaticText)
            labels.append({child->rect(), child->text(QAccessible::Name)});
        collectLabels(child, labels);
    }
}

QList<Label> labelsIn(QAccessibleInterface* under)
{
    QList<Label> labels;
    collectLabels(under, labels);
    std::stable_sort(labels.begin(), labels.end(), [](const Label& a, const Label& b) {
        return a.place.top() != b.place.top() ? a.place.top() < b.place.top()
                                              : a.place.left() < b.place.left();
    });
    return labels;
}

bool inStatusBar(QAccessibleInterface* object)
{
    for (QAccessibleInterface* up = object->parent(); up; up = up->parent()) {
        if (up->role() == QAccessible::StatusBar)
            return true;
    }
    return false;
}
} // namespace

ScreenReaderSpy::ScreenReaderSpy()
{
    // Qt tells nobody anything until a screen reader has asked; offscreen, none can.
    platform()->setActive(true);
    QAccessible::installUpdateHandler(&ScreenReaderSpy::listen);
    qApp->installEventFilter(this);
    listening = this;
}

ScreenReaderSpy::~ScreenReaderSpy()
{
    listening = nullptr;
    QAccessible::installUpdateHandler(nullptr);
    platform()->setActive(false);
}

void ScreenReaderSpy::listen(QAccessibleEvent* event)
{
    QAccessibleInterface* source = event->accessibleInterface();
    if (listening && source && event->type() == QAccessible::ObjectShow &&
        source->role() == QAccessible::Notification)
        listening->heard << readNotification(source);
}

QString ScreenReaderSpy::readNotification(QAccessibleInterface* notification)
{
    QStringList words;
    if (!inStatusBar(notification))
        words << u"notification"_s;
    if (const QString name = notification->text(QAccessible::Name); !name.isEmpty())
        words << name;
    for (const Label& label : labelsIn(notification))
        words << label.text;
    return words.join(u' ');
}

QString ScreenReaderSpy::readWindow(QAccessibleInterface* window)
{
    const bool dialog = window->role() == QAccessible::Dialog;
    QStringList words{window->text(QAccessible::Name), dialog ? u"dialog"_s : u"frame"_s};
    if (dialog) {
        for (const Label& label : labelsIn(window)) {
            if (label.text.split(u' ', Qt::SkipEmptyParts).size() >= 3)
                words << label.text;
        }
    }
    return words.join(u' ');
}

bool ScreenReaderSpy::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
        if (QAccessibleInterface* window = QAccessible::queryAccessibleInterface(watched))
            heard << readWindow(window);
    }
    return QObject::eventFilter(watched, event);
}
