// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/commands/Tab.h"

#include <QModelIndex>

class QMenu;
class QString;
class QUndoStack;
class QWidget;
class RecordModel;
class ScriptGrid;

// The editor's window as its commands see it, and all they may ask of it: the tabs with their
// grids and models, the current cell, the menus the commands fill, the one undo history and
// the status bar. Form1 is the window; a test may hand a command a small stand-in instead.
class ScriptWindow {
public:
    // The window itself, as the parent of the commands' windows and panels.
    virtual QWidget& widget() = 0;

    virtual Tab currentTab() const = 0;
    // The tab's grid and its model; nullptr when the tab's file could not be opened.
    virtual ScriptGrid* grid(Tab tab) const = 0;
    virtual RecordModel* model(Tab tab) const = 0;
    // The current cell of the tab shown; invalid when it has none.
    virtual QModelIndex currentCell() const = 0;
    // Shows the cell at `row` and `column` of `tab` and makes it current; with no such cell,
    // shows the tab.
    virtual void goToCell(Tab tab, int row, int column) = 0;
    // Saves the edit pending in every grid; the author is told of each that fails.
    virtual bool saveAll() = 0;

    // The menus beside "&Exit" that the commands fill.
    virtual QMenu* editMenu() const = 0;
    virtual QMenu* toolsMenu() const = 0;
    // One history for all the tabs, so that one step may span several files.
    virtual QUndoStack& undoStack() = 0;
    // Tells the author, in the status bar, what a command did.
    virtual void showStatus(const QString& message) = 0;
    // Tells the author a fault, in a message naming file, row and field.
    virtual void tell(const QString& message) = 0;
    // Keeps `text`, typed for a place that is gone, where the author can take it, and tells
    // `message` with where it is.
    virtual void rescueText(const QString& message, const QString& text) = 0;

protected:
    ~ScriptWindow() = default;
};
