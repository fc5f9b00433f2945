// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMap>
#include <QMessageBox>
#include <QString>

class QWidget;

// The modal boxes both windows ask and tell through. The windows own no box code of their
// own, so the real boxes (QtDialogs) are written and tested once, and every other window
// test answers them from a script.
class Dialogs {
public:
    struct Message {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title; // empty: the application's name
        QString text;
        QString details; // words for the author below the text: file, row, field
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        // Captions of the box's own words for some of `buttons` ("&Keep mine" for Save).
        QMap<QMessageBox::StandardButton, QString> buttonTexts = {};
    };

    virtual ~Dialogs() = default;

    // The button pressed; the box's escape button when it was closed otherwise.
    virtual QMessageBox::StandardButton message(QWidget* parent, const Message& message) = 0;
    // The text typed into an input box with an empty default; empty when cancelled.
    virtual QString text(QWidget* parent, const QString& title, const QString& prompt) = 0;
};
