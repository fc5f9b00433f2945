// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "windowkit/Dialogs.h"

// The standard Qt boxes, so that screen readers and the platform's look know them.
class QtDialogs final : public Dialogs {
public:
    QMessageBox::StandardButton message(QWidget* parent, const Message& message) override;
    QString text(QWidget* parent, const QString& title, const QString& prompt) override;
};
