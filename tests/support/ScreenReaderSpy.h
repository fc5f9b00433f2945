// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QStringList>

class QAccessibleEvent;
class QAccessibleInterface;

// Stands where a screen reader stands: it turns Qt's accessibility on, listens to what the
// windows tell it, and writes down what Orca says of its own accord, without the person
// moving anywhere:
// - a notification that appears, as its labels read, prefixed by "notification" unless it sits
//   in a status bar;
// - a window that becomes active, as its name and role, and for a dialog the labels in it of
//   three words or more, top to bottom.
// These are Orca's rules for the events Qt's bridge to the accessibility bus passes on; what
// the person hears of focus moving between controls is not kept.
class ScreenReaderSpy final : public QObject {
    Q_OBJECT

public:
    ScreenReaderSpy();
    ~ScreenReaderSpy() override;
    ScreenReaderSpy(const ScreenReaderSpy&) = delete;
    ScreenReaderSpy& operator=(const ScreenReaderSpy&) = delete;

    QStringList heard;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void listen(QAccessibleEvent* event);
    static QString readNotification(QAccessibleInterface* notification);
    static QString readWindow(QAccessibleInterface* window);
};
