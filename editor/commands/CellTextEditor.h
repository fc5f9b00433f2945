// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>

class CellTextDialog;
class QAction;
class QModelIndex;
class ScriptGrid;
class ScriptWindow;

// Opens a text cell in CellTextDialog: from the Edit menu or the cell's context menu
// (Shift+F2), or by a double click on a text cut short in its cell. What the author accepts
// goes to the model as an edit typed in the cell would, compared when saved with what the
// file held as the window opened.
class CellTextEditor : public QObject {
    Q_OBJECT

public:
    explicit CellTextEditor(ScriptWindow& window);

    // Opens the window for `index` of `grid` without waiting for it to close; nullptr when
    // the cell is not a text cell.
    CellTextDialog* open(ScriptGrid* grid, const QModelIndex& index);

private:
    void openCurrent();

    ScriptWindow& m_window;
    QAction* m_action;
    QPointer<CellTextDialog> m_dialog;
};
