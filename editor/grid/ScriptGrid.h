// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QTableView>

class GridDelegate;
class QAction;

// A grid over one script table: cells edited in place, a selector at the left of each row,
// whole rows and columns selectable, columns in their fixed order, Tab leaving the grid.
// Backspace opens the current cell cleared, as typing opens it replaced. "Set to empty text"
// (context menu, Ctrl+Delete) puts the empty text into the selected text cells.
class ScriptGrid : public QTableView {
    Q_OBJECT

public:
    explicit ScriptGrid(QWidget* parent = nullptr);

    // Also sizes the columns to their captions and first rows.
    void setModel(QAbstractItemModel* model) override;

    GridDelegate* delegate() const { return m_delegate; }
    QAction* emptyTextAction() const { return m_emptyText; }
    // Hands a cell edit in progress to the model; false when the model refused it.
    bool finishEditing();
    void dropEditing();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void reopen(const QModelIndex& index);
    void setEmptyText();

    GridDelegate* m_delegate;
    QAction* m_emptyText;
    bool m_painted = false;
};
