// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "windowkit/Dialogs.h"

#include <QString>

// A message would hold the window; a benchmark prints it and goes on.
class PrintedDialogs final : public Dialogs {
public:
    QMessageBox::StandardButton message(QWidget* parent, const Message& message) override;
    QString text(QWidget* parent, const QString& title, const QString& prompt) override;
};

// Writes the four script files into `dir`: `specialRows` special cases with counts spread
// over 0..999, and 20 rows in each other table.
void buildLargeScript(const QString& dir, int specialRows);
