// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptFinding.h"

#include <QDockWidget>
#include <QFutureWatcher>
#include <QList>
#include <QTimer>
#include <chrono>

class QLabel;
class QListWidget;
class QListWidgetItem;
class ScriptWindow;

// What the script check finds in the working folder, in the words of `veyrath-script check`,
// beside the grids. Choosing a finding shows its cell. The check runs when the panel is shown
// and again shortly after each save while it is shown.
//
// A check reads every file whole, which takes a while on a large special.mdb, so it runs on
// a thread of its own with connections of its own, and the grids stay usable meanwhile.
class CheckPanel final : public QDockWidget {
    Q_OBJECT

public:
    // Several saves in quick succession make one check.
    static constexpr std::chrono::milliseconds settleTime{500};

    CheckPanel(ScriptWindow& window, QString workingDir);
    // A check still running is waited for: its connections and the folder it reads must not
    // outlive the window (a check takes a second or two on the largest file).
    ~CheckPanel() override;

    // Checks again once the saves have settled, if the panel is shown.
    void checkSoon();
    void checkNow();
    // Shows the cell, row or file that `finding` is about.
    void goTo(const ScriptFinding& finding);

Q_SIGNALS:
    // The panel shows the findings of a check that has just ended.
    void checked();

private:
    void showFindings();
    void chosen(const QListWidgetItem* item);
    // Shown or hidden by the author: the window grows by the panel, so that the grids keep
    // their size, and gives the room back after. A window as wide as the screen (maximized,
    // or opened so by large text) does not grow past it: the panel docks inside.
    void shownOrHidden(bool shown);

    ScriptWindow& m_window;
    QString m_dir;
    QLabel* m_summary;
    QListWidget* m_list;
    QTimer m_settle;
    QFutureWatcher<QList<ScriptFinding>> m_running;
    bool m_again = false; // something was saved while a check was running
    int m_grownBy = 0;
    QList<ScriptFinding> m_findings;
};
