// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/ScriptedDialogs.h"

#include <QWidget>

QVariant ScriptedDialogs::nextAnswer(QWidget* parent)
{
    if (!answers.isEmpty())
        return answers.takeFirst();
    if (parent)
        parent->window()->close();
    return {};
}

QMessageBox::StandardButton ScriptedDialogs::message(QWidget* parent, const Message& message)
{
    asked << message.text;
    messages << message;
    if (whileShown)
        whileShown(message.text);
    if (message.buttons == QMessageBox::Ok)
        return QMessageBox::Ok;
    const QVariant answer = nextAnswer(parent);
    if (!answer.isValid())
        return message.buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Cancel;
    return QMessageBox::StandardButton(answer.toInt());
}

QString ScriptedDialogs::text(QWidget* parent, const QString&, const QString& prompt)
{
    asked << prompt;
    if (whileShown)
        whileShown(prompt);
    return nextAnswer(parent).toString();
}
