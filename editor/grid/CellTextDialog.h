// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;

// One cell's text in a window of its own, wrapped at the window's width, with its length
// counted against the field's limit as it is typed. OK is offered only for a text that fits.
class CellTextDialog : public QDialog {
    Q_OBJECT

public:
    // `title` names the cell: "Description – special.mdb, row 12".
    CellTextDialog(const QString& title, const QString& text, bool readOnly,
                   QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // Whether the author changed the text; a text only looked at is no edit, even when the
    // box wrote its line ends its own way.
    bool changed() const;
    // What the count below the text says now.
    QString countText() const;

private:
    void count();

    QPlainTextEdit* m_text;
    QLabel* m_count;
    QDialogButtonBox* m_buttons;
    bool m_readOnly;
};
