// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "clock/FarewellPause.h"
#include "clock/SystemClock.h"
#include "editor/RecordModel.h"

#include <QMainWindow>
#include <QStringList>
#include <QUndoStack>
#include <array>
#include <chrono>
#include <memory>

class About;
class CheckPanel;
class Dialogs;
class EditMenu;
class QMenu;
class QPushButton;
class QTabWidget;
class ScriptGrid;
struct TableLayout;

// The editor's window: one tab per script file in the working folder, each with its grid,
// and on the special-case tab the commands Add, Delete, Update and Sort.
//
// Every fault reaches the author here, through `Dialogs`, in the words of the model.
class Form1 final : public QMainWindow {
    Q_OBJECT

public:
    // Shows the script files of `workingDir`.
    Form1(Dialogs& dialogs, const QString& workingDir, QWidget* parent = nullptr);
    ~Form1() override;

    // How long About stays before the program ends through the menu.
    void setFarewellTime(std::chrono::milliseconds time) { m_farewellTime = time; }

    RecordModel* model(int tab) const { return m_models.at(tab); }
    ScriptGrid* grid(int tab) const { return m_grids.at(tab); }
    About* about() const { return m_about.get(); }
    int currentTab() const;
    // The menus beside "&Exit" that the author's tools fill.
    QMenu* editMenu() const { return m_editMenu; }
    QMenu* viewMenu() const { return m_viewMenu; }
    QMenu* toolsMenu() const { return m_toolsMenu; }
    EditMenu* editing() const { return m_editing; }
    // One history for all four tabs, so that one step may span several files.
    QUndoStack* undoStack() { return &m_undo; }

    // Shows the cell at `row` and `column` of tab `tab` and makes it current; with no such
    // cell, shows the tab.
    void goToCell(int tab, int row, int column);
    // The current cell of the tab shown; invalid when it has none.
    QModelIndex currentCell() const;
    CheckPanel* checkPanel() const { return m_checkPanel; }

    // Saves the edit pending in every grid; the author is told of each that fails.
    bool saveAll();

public Q_SLOTS:
    void exitProgram();
    void addRecord();
    void deleteRecord();
    void updateRecord();
    void sortRecords();

Q_SIGNALS:
    // The window has closed for good; the application should quit.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildPage(int tab, const TableLayout& layout, const QString& dir);
    QWidget* buildCommands();
    void tell(const QString& message);
    RecordModel::Choice choose(const QString& question);
    // Saves everything; with something left unsaved, asks whether to end all the same.
    bool mayEnd();
    void updateCommands();
    void waitFarewell();

    QTabWidget* m_tabs = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_toolsMenu = nullptr;
    EditMenu* m_editing = nullptr;
    QUndoStack m_undo;
    std::array<RecordModel*, 4> m_models{};
    std::array<ScriptGrid*, 4> m_grids{};
    std::array<QPushButton*, 4> m_commands{};
    CheckPanel* m_checkPanel = nullptr;
    std::unique_ptr<About> m_about;
    Dialogs& m_dialogs;
    SystemClock m_clock;
    std::chrono::milliseconds m_farewellTime{FarewellPause::exitMenu};
    bool m_ending = false;
    bool m_loseUnsaved = false; // the author chose to end with edits that cannot be saved
    bool m_holdMessages = false;
    QStringList m_heldMessages;
};
