// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds on a clock that only moves forward: midnight and clock changes mean nothing.
    virtual double monotonicSeconds() const = 0;
    // The local date and time, for ages and the hour of the goodbye.
    virtual QDateTime localNow() const = 0;
    // Sleeps until `deadline` on the monotonic clock while the window keeps handling its
    // events; returns early when an event handler ends the program.
    virtual void waitUntil(double deadline) = 0;
};
