// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

// Edits grid cells in place. A cell opened and left without typing stays as it is. A text
// the model refuses is kept here and handed back to the next editor opened on that cell, so
// the author corrects it instead of typing it again. A text cut short in its cell shows whole
// in its tooltip, and a double click opens it in a window instead.
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

    bool isEditing() const { return !m_editor.isNull(); }
    // Hands an open editor's text to the model and closes the editor; false if refused.
    bool finishEditing();
    // Closes an open editor without keeping its text.
    void dropEditing();

Q_SIGNALS:
    void refused(const QModelIndex& index);
    // A double click on a text too long for its cell: it is better edited in a window.
    void windowWanted(const QModelIndex& index);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    struct Draft {
        QPersistentModelIndex index;
        QString text;
        QVariant base;
    };

    mutable QPointer<QWidget> m_editor;
    mutable bool m_filled = false; // the open editor holds the cell's text
    mutable QString m_openedText;
    mutable QVariant m_base;
    mutable Draft m_draft;
    mutable bool m_lastRefused = false;
};
