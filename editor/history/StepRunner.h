// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptError.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QProgressDialog;
class QWidget;

// Runs work over a whole script in short steps between the window's events, so that the
// window repaints throughout and another program waiting for the file gets its turn between
// steps. How far it got shows in a progress box once the work lasts; Cancel or Escape stops it
// after the step under way. Meanwhile nothing else the author types or clicks reaches the
// windows, so nothing else changes the files halfway through.
//
// A step that meets another program's lock is tried again a moment later, for as long as a
// save would wait for it.
class StepRunner : public QObject {
    Q_OBJECT

public:
    enum class Outcome { Done, Cancelled, Failed };

    // How long one step may work before the window has its turn.
    static constexpr std::chrono::milliseconds stepTime{40};
    // How long one step may hold the file for writing, and how long the file is then left
    // free. Another program waiting for the lock looks again after ever longer sleeps, SQLite's
    // own way of waiting, but none longer than 20 ms in its first 50 ms: after a step of 45 ms
    // it finds the file free in the pause, however it happened to be waiting.
    static constexpr std::chrono::milliseconds writeTime{45};
    static constexpr std::chrono::milliseconds writePause{30};
    // How long one try of a step waits for another program's lock.
    static constexpr std::chrono::milliseconds lockWait{30};

    // `title` is the progress box's; `window` the one it belongs to.
    StepRunner(QWidget* window, const QString& title);
    ~StepRunner() override;

    // What the progress box says, and how much of `total` is done.
    void show(const QString& label, qint64 done, qint64 total);
    // Runs `step` again and again, `pause` apart, until it returns true for all done, the
    // author cancels, or it throws a ScriptError that waiting does not mend.
    Outcome run(const std::function<bool()>& step,
                std::chrono::milliseconds pause = std::chrono::milliseconds(0));
    // What stopped the work when run() returned Failed.
    const std::optional<ScriptError>& error() const { return m_error; }
    // Hands the room of what a long piece of work made and dropped back to the system; without
    // this the heap keeps it for good, and the editor looks many megabytes larger after every
    // replacement.
    static void giveBackMemory();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<QProgressDialog> m_progress;
    std::optional<ScriptError> m_error;
    bool m_cancelled = false;
    std::function<void()> m_cancel;
};
