// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowkit/QtDialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>

QMessageBox::StandardButton QtDialogs::message(QWidget* parent, const Message& message)
{
    QMessageBox box(parent);
    box.setWindowTitle(message.title.isEmpty() ? QCoreApplication::applicationName()
                                               : message.title);
    box.setIcon(message.icon);
    // Script lines carry the person's own typed answers: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(message.text);
    box.setInformativeText(message.details);
    if (auto* details = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        details->setTextFormat(Qt::PlainText);
    box.setStandardButtons(message.buttons);
    for (auto caption = message.buttonTexts.cbegin(); caption != message.buttonTexts.cend();
         ++caption) {
        if (QAbstractButton* button = box.button(caption.key()))
            button->setText(caption.value());
    }
    box.exec();
    if (QAbstractButton* pressed = box.clickedButton())
        return box.standardButton(pressed);
    return box.standardButton(box.escapeButton());
}

QString QtDialogs::text(QWidget* parent, const QString& title, const QString& prompt)
{
    QInputDialog box(parent);
    box.setWindowTitle(title);
    // The prompt labels the entry field, which makes a single "&" a shortcut marker: doubled,
    // every "&" shows and is read as written. Plain text, as the prompt may quote an answer.
    box.setLabelText(QString(prompt).replace(u'&', QStringLiteral("&&")));
    box.setTextValue(QString());
    // Long script lines wrap instead of stretching the box past the screen; short ones
    // keep to one row.
    for (QLabel* label : box.findChildren<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setMinimumWidth(qMin(label->fontMetrics().horizontalAdvance(prompt) + 8, 480));
    }
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}
