// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

class QTabWidget;
class ScriptWindow;

// Tells, in the status bar, how long the current cell's text is and how long the runner
// waits after showing it as a line, so that the author can pace a script while writing it.
class CellStatus final : public QLabel {
    Q_OBJECT

public:
    CellStatus(ScriptWindow& window, const QTabWidget& tabs);

    void refresh();

private:
    // Tells the length of `typed` as the current cell's text.
    void showLength(const QString& typed);

    ScriptWindow& m_window;
};
