#pragma once

#include <QTableView>

class GridDelegate;

// A grid over one script table: cells edited in place, a selector at the left of each row,
// whole rows and columns selectable, columns in their fixed order, Tab leaving the grid.
class ScriptGrid : public QTableView {
    Q_OBJECT

public:
    explicit ScriptGrid(QWidget* parent = nullptr);

    GridDelegate* delegate() const { return m_delegate; }
    // Hands a cell edit in progress to the model; false when the model refused it.
    bool finishEditing();
    void dropEditing();

private:
    void reopen(const QModelIndex& index);

    GridDelegate* m_delegate;
};
