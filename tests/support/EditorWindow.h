// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/Form1.h"
#include "tests/support/ScriptedDialogs.h"

#include <QModelIndex>
#include <QStringList>
#include <memory>

class QLineEdit;
class ScriptFixture;
class ScriptGrid;

// The editor's window over a fixture folder, shown offscreen, whose boxes are answered from a
// script and whose ending is counted, never waited for.
struct EditorWindow {
    explicit EditorWindow(const ScriptFixture& fx);
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;
    virtual ~EditorWindow();

    // What the window told the author, in order.
    const QStringList& messages() const { return dialogs.asked; }
    // Chooses the menu command with object name `action`, as the author would.
    void trigger(const QString& action) const;
    // Types into a cell the way an author does, leaving the cell editor open; a null text only
    // opens it.
    QLineEdit* type(ScriptGrid* into, int row, int column, const QString& text) const;
    // The same, into `field` of the tab's grid.
    QLineEdit* type(Tab tab, int row, const QString& field, const QString& text) const;
    // Where the tab's grid shows `field`: its place among the fields of the tab's file.
    static int column(Tab tab, const QString& field);
    // The special-case tab's grid and model, the tab most tests work in, and a cell of it.
    ScriptGrid* grid() const { return form->grid(Tab::Special); }
    RecordModel* model() const { return form->model(Tab::Special); }
    QModelIndex cell(int row, const QString& field) const;

    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
    int endings = 0;
};
