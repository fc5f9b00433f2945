// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs an action once a window has been painted for the first time, for work that would
// hold the first paint back if it ran alongside it.
class AfterFirstPaint final : public QObject {
    Q_OBJECT

public:
    static void run(QWidget& window, std::function<void()> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AfterFirstPaint(QWidget& window, std::function<void()> action);
    std::function<void()> m_action;
};
