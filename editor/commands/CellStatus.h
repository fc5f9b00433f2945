// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

class Form1;
class QTabWidget;

// Tells, in the status bar, how long the current cell's text is and how long the runner
// waits after showing it as a line, so that the author can pace a script while writing it.
class CellStatus final : public QLabel {
    Q_OBJECT

public:
    CellStatus(Form1& form, const QTabWidget& tabs);

    void refresh();

private:
    Form1& m_form;
};
