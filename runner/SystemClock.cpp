#include "SystemClock.h"

#include <QEventLoop>
#include <QTimer>

#include <cmath>

SystemClock::SystemClock() { m_elapsed.start(); }

double SystemClock::monotonicSeconds() const { return double(m_elapsed.nsecsElapsed()) / 1e9; }

QDateTime SystemClock::localNow() const { return QDateTime::currentDateTime(); }

void SystemClock::waitUntil(double deadline)
{
    const double left = deadline - monotonicSeconds();
    if (left <= 0)
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(int(std::ceil(left * 1000.0)));
    // Returns at once when the program is already ending (QCoreApplication::exit ends all
    // loops and refuses new ones), which is what lets Exit end a step from inside a pause.
    loop.exec();
}
