// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "clock/SystemClock.h"

#include <QEventLoop>
#include <QTimer>
#include <cmath>

SystemClock::SystemClock()
{
    m_elapsed.start();
}

double SystemClock::monotonicSeconds() const
{
    return double(m_elapsed.nsecsElapsed()) / 1e9;
}

QDateTime SystemClock::localNow() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::waitUntil(double deadline)
{
    const double left = deadline - monotonicSeconds();
    if (left <= 0 || m_interrupted)
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(int(std::ceil(left * 1000.0)));
    m_waits.append(&loop);
    loop.exec();
    m_waits.removeOne(&loop);
}

void SystemClock::interrupt()
{
    m_interrupted = true;
    for (QEventLoop* loop : std::as_const(m_waits))
        loop->quit();
}
