// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

class CellFinder;
class EditHistory;
class FindDialog;
class GridClipboard;
class ScriptGrid;
class ScriptWindow;

// The editor's "E&dit" menu: undo and redo, copy and paste of cells, find and replace, and
// saving the current rows.
class EditMenu : public QObject {
    Q_OBJECT

public:
    explicit EditMenu(ScriptWindow& window);

    CellFinder* finder() const { return m_finder; }
    // Made when first asked for, so that it costs the window's first paint nothing.
    FindDialog* findDialog();

Q_SIGNALS:
    // A message for the author, naming file, row and field.
    void failed(const QString& message);

private:
    void addHistory();
    void addClipboard();
    void addFind();
    // Finds again with `step`, or asks what to look for when nothing was looked for yet.
    void findAgain(bool (CellFinder::*step)());
    ScriptGrid* currentGrid() const;

    ScriptWindow* m_window;
    EditHistory* m_history;
    CellFinder* m_finder;
    GridClipboard* m_clipboard;
    FindDialog* m_findDialog = nullptr;
};
