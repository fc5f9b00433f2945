// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "clock/Clock.h"

#include <QElapsedTimer>
#include <QList>

class QEventLoop;

// The real clock. Waiting runs a nested event loop that sleeps until the next event or
// the deadline, so a pause costs no processor time.
class SystemClock final : public Clock {
public:
    SystemClock();
    double monotonicSeconds() const override;
    QDateTime localNow() const override;
    void waitUntil(double deadline) override;
    // Ends every wait in progress and makes later ones return at once: the program is ending.
    void interrupt();

private:
    QElapsedTimer m_elapsed;
    QList<QEventLoop*> m_waits;
    bool m_interrupted = false;
};
