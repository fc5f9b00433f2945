// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/grid/GridDelegate.h"

#include <QTableView>
#include <optional>

class QAction;

// A grid over one script table: cells edited in place, a selector at the left of each row,
// whole rows and columns selectable, columns in their fixed order, Tab leaving the grid.
// Backspace opens the current cell cleared, as typing opens it replaced. "Set to empty text"
// (context menu, Ctrl+Delete) puts the empty text into the selected text cells. The rows in
// view stay in view when other programs delete rows above them.
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

    // Rows another program deleted take the cell editor with them; what was typed in it is
    // told, never dropped.
    void reset() override;

Q_SIGNALS:
    // Text typed for a row that another program deleted meanwhile: the message names file,
    // row and field; `text` is what was typed, for the author to keep.
    void typedTextLost(const QString& message, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    void reopen(qint64 id, int column);
    // Tells, once the change under way is over, that `draft` lost its row.
    void tellLost(const GridDelegate::Draft& draft);
    void setEmptyText();

    // Where the top row in view will stand once rows above it are gone, and how far it stood
    // above the view's edge, so that the view shows the same rows afterwards.
    struct TopRow {
        int row = 0;
        int offset = 0;
    };
    std::optional<TopRow> m_keptTop;
    void keepTopInView();

    GridDelegate* m_delegate;
    QAction* m_emptyText;
    bool m_painted = false;
};
