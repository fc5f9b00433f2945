// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "clock/FarewellPause.h"
#include "clock/SystemClock.h"
#include "editor/commands/ScriptWindow.h"
#include "editor/model/RecordModel.h"

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

// The editor's window: one tab per script file in the working folder, each with its grid,
// and on the special-case tab the commands Add, Delete, Update and Sort.
//
// Every fault reaches the author here, through `Dialogs`, in the words of the model. The
// commands beside the grids see the window only as a ScriptWindow.
class Form1 final : public QMainWindow, public ScriptWindow {
    Q_OBJECT

public:
    // Shows the script files of `workingDir`.
    Form1(Dialogs& dialogs, const QString& workingDir, QWidget* parent = nullptr);
    ~Form1() override;

    // How long About stays before the program ends through the menu.
    void setFarewellTime(std::chrono::milliseconds time) { m_farewellTime = time; }

    About* about() const { return m_about.get(); }
    CheckPanel* checkPanel() const { return m_checkPanel; }
    EditMenu* editing() const { return m_editing; }

    QWidget& widget() override { return *this; }
    Tab currentTab() const override;
    ScriptGrid* grid(Tab tab) const override { return m_grids.at(int(tab)); }
    RecordModel* model(Tab tab) const override { return m_models.at(int(tab)); }
    QModelIndex currentCell() const override;
    void goToCell(Tab tab, int row, int column) override;
    bool saveAll() override;
    QMenu* editMenu() const override { return m_editMenu; }
    QMenu* toolsMenu() const override { return m_toolsMenu; }
    QUndoStack& undoStack() override { return m_undo; }
    void showStatus(const QString& message) override;
    void tell(const QString& message) override;
    void rescueText(const QString& message, const QString& text) override;

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
    QWidget* buildPage(Tab tab, const QString& dir);
    QWidget* buildCommands();
    // Tells the model's faults and puts its questions to the author.
    void listenTo(RecordModel* model);
    RecordModel::Choice choose(const QString& question);
    // The model's file was deleted or replaced under the editor: tells it, keeps `typed` on
    // the clipboard and, when `canOpen`, offers the file now at its place.
    void fileLost(RecordModel* model, const QString& message, const QString& typed, bool canOpen);
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
    std::array<RecordModel*, Tabs::count> m_models{};
    std::array<ScriptGrid*, Tabs::count> m_grids{};
    std::array<QPushButton*, 4> m_commands{}; // Add, Delete, Update and Sort
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
