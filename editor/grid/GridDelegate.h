// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <optional>

// Edits grid cells in place. A cell opened and left without typing stays as it is. A text
// the model refuses is kept here and handed back to the next editor opened on that cell, so
// the author corrects it instead of typing it again. A text cut short in its cell shows whole
// in its tooltip, and a double click opens it in a window instead.
//
// What is typed belongs to its row by ID, never by place: a refusal box is modal, and while
// it is open other programs' changes arrive and move the rows.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // Text typed for a cell that the grid has not taken yet: the row's ID and number (as
    // messages give it), the field's column, the text and what the field held when the
    // author began.
    struct Draft {
        qint64 id = 0;
        int number = 0;
        int column = -1;
        QString text;
        QVariant base;
    };

    bool isEditing() const { return !m_editor.isNull(); }
    // Hands an open editor's text to the model and closes the editor; false if refused.
    bool finishEditing();
    // Closes an open editor without keeping its text.
    void dropEditing();
    // The text typed into the open editor when its row is among rows `first` to `last` (of
    // `model`) and the author changed it; the editor is forgotten, as its row is going. Nothing
    // while a refused text is being handed over: its own refusal keeps it.
    std::optional<Draft> typedInRows(const QAbstractItemModel* model, int first, int last);
    // The open editor's typed text, whatever its row, for a grid about to lose all its rows.
    std::optional<Draft> typedText();
    // The refused text waiting to be handed back, which the caller now keeps.
    std::optional<Draft> takeDraft();
    // Hands `draft` back to the next editor opened on its row and field.
    void keepDraft(const Draft& draft) { m_draft = draft; }

Q_SIGNALS:
    // The text typed for a row's field was refused; it waits for the row's next editor.
    void refused(qint64 id, int column);
    // The open editor's text, as it is typed.
    void typing(const QString& text);
    // A key or a paste met the field's limit, so what went past it was not taken.
    void full();
    // A double click on a text too long for its cell: it is better edited in a window.
    void windowWanted(const QModelIndex& index);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    std::optional<Draft> typed() const;

    mutable QPointer<QWidget> m_editor;
    mutable bool m_filled = false; // the open editor holds the cell's text
    mutable QString m_openedText;
    mutable QVariant m_base;
    mutable Draft m_opened; // the open editor's row and field; its text is the editor's own
    mutable std::optional<Draft> m_draft;
    mutable bool m_lastRefused = false;
    mutable bool m_committing = false;
};
