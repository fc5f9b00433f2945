// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "windowkit/Dialogs.h"

#include <QList>
#include <QStringList>
#include <QVariantList>
#include <functional>

// Answers a window's boxes from a script, as a person would, and records what they said.
//
// A box with a choice and every input box take the next answer: a QString for an input box,
// a QMessageBox::StandardButton for a message box. A box with only an OK button is a notice
// and is acknowledged without an answer. When the answers run out, the window is closed and
// the box cancelled, which ends a conversation.
class ScriptedDialogs final : public Dialogs {
public:
    QVariantList answers;
    QStringList asked;       // the text of every box, in order
    QList<Message> messages; // every message box, whole
    // Runs while each box is open, with its text: what another program does meanwhile.
    std::function<void(const QString& text)> whileShown;

    QMessageBox::StandardButton message(QWidget* parent, const Message& message) override;
    QString text(QWidget* parent, const QString& title, const QString& prompt) override;

private:
    QVariant nextAnswer(QWidget* parent);
};
