// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/history/StepRunner.h"

#include "editor/model/RecordModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <limits>

namespace {
// The box stays away from work that ends sooner, so that a short replacement does not flash.
constexpr int showAfterMs = 400;
// The pause before a step that met a lock is tried again.
constexpr int retryAfterMs = 10;

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}
} // namespace

StepRunner::StepRunner(QWidget* window, const QString& title)
    : m_progress(std::make_unique<QProgressDialog>(window))
{
    m_progress->setObjectName(QStringLiteral("StepProgress"));
    m_progress->setWindowTitle(title);
    m_progress->setWindowModality(Qt::ApplicationModal);
    m_progress->setMinimumDuration(showAfterMs);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    connect(m_progress.get(), &QProgressDialog::canceled, this, [this] {
        if (m_cancel)
            m_cancel();
    });
}

StepRunner::~StepRunner() = default;

void StepRunner::show(const QString& label, qint64 done, qint64 total)
{
    // The box counts in int; a count beyond that is shown to scale.
    const qint64 scale = std::max<qint64>(1, total / std::numeric_limits<int>::max() + 1);
    m_progress->setLabelText(label);
    m_progress->setMaximum(int(std::max<qint64>(1, total / scale)));
    m_progress->setValue(int(std::clamp<qint64>(done, 0, total) / scale));
}

StepRunner::Outcome StepRunner::run(const std::function<bool()>& step,
                                    std::chrono::milliseconds pause)
{
    m_error.reset();
    m_cancelled = false;
    QEventLoop loop;
    QTimer next;
    next.setSingleShot(true);
    next.setTimerType(Qt::PreciseTimer);
    Outcome outcome = Outcome::Done;
    const auto stop = [&](Outcome how) {
        outcome = how;
        next.stop();
        loop.quit();
    };
    m_cancel = [&] {
        m_cancelled = true;
        stop(Outcome::Cancelled);
    };
    QElapsedTimer locked; // runs while steps keep meeting another program's lock
    connect(&next, &QTimer::timeout, this, [&] {
        try {
            const bool finished = step();
            locked.invalidate();
            if (finished)
                stop(Outcome::Done);
            else if (!m_cancelled)
                next.start(pause);
        } catch (const ScriptError& error) {
            if (!locked.isValid())
                locked.start();
            // Steps meet a lock no longer than a save would wait for it.
            if (!error.mayPass() || locked.elapsed() >= RecordModel::lockPatience.count()) {
                m_error = error;
                stop(Outcome::Failed);
            } else if (!m_cancelled) {
                next.start(retryAfterMs);
            }
        }
    });
    qApp->installEventFilter(this);
    // The first step comes after the window's next turn, so it always has one.
    next.start(0);
    loop.exec();
    qApp->removeEventFilter(this);
    m_cancel = nullptr;
    m_progress->reset();
    m_progress->hide();
    giveBackMemory();
    return outcome;
}

void StepRunner::giveBackMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

bool StepRunner::eventFilter(QObject* watched, QEvent* event)
{
    if (!isInput(event->type()))
        return false;
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (m_cancel)
            m_cancel();
        return true;
    }
    // The progress box takes its own clicks: its Cancel button.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && (widget == m_progress.get() || m_progress->isAncestorOf(widget)))
        return false;
    return widget != nullptr;
}
