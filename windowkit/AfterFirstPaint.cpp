// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowkit/AfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

void AfterFirstPaint::run(QWidget& window, std::function<void()> action)
{
    new AfterFirstPaint(window, std::move(action)); // the window owns it
}

AfterFirstPaint::AfterFirstPaint(QWidget& window, std::function<void()> action)
    : QObject(&window)
    , m_action(std::move(action))
{
    window.installEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Queued, so that the painted window reaches the screen first.
        QTimer::singleShot(0, this, [this] {
            m_action();
            deleteLater();
        });
    }
    return QObject::eventFilter(watched, event);
}
