// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

// The longest time the window's thread went without handling a timer due every 2 ms: how long
// the window went without answering.
class GapWatch {
public:
    GapWatch()
    {
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(2);
        QObject::connect(&m_tick, &QTimer::timeout, &m_tick,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_clock.start();
        m_tick.start();
    }
    // The gap still open counts too: work that never let the timer through is one long gap.
    qint64 longestMs() const { return std::max(m_longest, m_clock.elapsed()); }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};
