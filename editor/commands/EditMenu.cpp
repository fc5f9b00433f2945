// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/EditMenu.h"

#include "editor/commands/CellFinder.h"
#include "editor/commands/FindDialog.h"
#include "editor/commands/GridClipboard.h"
#include "editor/commands/ScriptWindow.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/history/EditHistory.h"

#include <QAction>
#include <QMenu>
#include <QUndoStack>

using namespace Qt::Literals::StringLiterals;

EditMenu::EditMenu(ScriptWindow& window)
    : QObject(&window.widget())
    , m_window(&window)
    , m_history(new EditHistory(window.undoStack(), this))
    , m_finder(new CellFinder(window, *m_history, this))
    , m_clipboard(new GridClipboard(*m_history, this))
{
    for (Tab tab : Tabs::all) {
        if (RecordModel* model = window.model(tab))
            m_history->follow(model);
    }
    m_history->setSettle([this] { m_window->saveAll(); });
    connect(m_finder, &CellFinder::failed, this, &EditMenu::failed);
    connect(m_clipboard, &GridClipboard::failed, this, &EditMenu::failed);
    addHistory();
    addClipboard();
    addFind();
}

FindDialog* EditMenu::findDialog()
{
    if (!m_findDialog)
        m_findDialog = new FindDialog(*m_finder, &m_window->widget());
    return m_findDialog;
}

ScriptGrid* EditMenu::currentGrid() const
{
    return m_window->grid(m_window->currentTab());
}

void EditMenu::addHistory()
{
    QMenu* menu = m_window->editMenu();
    QUndoStack* stack = &m_window->undoStack();
    // Texts and enabling from the history itself; the step waits for what is being typed.
    QAction* undo = stack->createUndoAction(menu, u"&Undo"_s);
    disconnect(undo, &QAction::triggered, stack, &QUndoStack::undo);
    connect(undo, &QAction::triggered, m_history, &EditHistory::undo);
    undo->setObjectName(u"MNU_UNDO"_s);
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = stack->createRedoAction(menu, u"Re&do"_s);
    disconnect(redo, &QAction::triggered, stack, &QUndoStack::redo);
    connect(redo, &QAction::triggered, m_history, &EditHistory::redo);
    redo->setObjectName(u"MNU_REDO"_s);
    QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::Key_Y)};
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Redo)) {
        if (!redoKeys.contains(key))
            redoKeys << key;
    }
    redo->setShortcuts(redoKeys);
    menu->addAction(undo);
    menu->addAction(redo);
    menu->addSeparator();
}

void EditMenu::addClipboard()
{
    QMenu* menu = m_window->editMenu();
    QAction* copy = menu->addAction(u"&Copy"_s);
    copy->setObjectName(u"MNU_COPY"_s);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, [this] {
        if (ScriptGrid* grid = currentGrid())
            m_clipboard->copy(*grid);
    });
    QAction* paste = menu->addAction(u"&Paste"_s);
    paste->setObjectName(u"MNU_PASTE"_s);
    paste->setShortcut(QKeySequence::Paste);
    connect(paste, &QAction::triggered, this, [this] {
        if (ScriptGrid* grid = currentGrid())
            m_clipboard->paste(*grid);
    });
    QAction* null = menu->addAction(u"Set to Nu&ll"_s);
    null->setObjectName(u"MNU_SETNULL"_s);
    connect(null, &QAction::triggered, this, [this] {
        if (ScriptGrid* grid = currentGrid())
            m_clipboard->setNull(*grid);
    });
    menu->addSeparator();
}

void EditMenu::findAgain(bool (CellFinder::*step)())
{
    // Before anything was looked for, Find Next and Find Previous ask for it.
    if (m_finder->options().text.isEmpty())
        findDialog()->showFind();
    else
        (m_finder->*step)();
}

void EditMenu::addFind()
{
    QMenu* menu = m_window->editMenu();
    QAction* find = menu->addAction(u"&Find..."_s);
    find->setObjectName(u"MNU_FIND"_s);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] { findDialog()->showFind(); });
    QAction* next = menu->addAction(u"Find &Next"_s);
    next->setObjectName(u"MNU_FINDNEXT"_s);
    next->setShortcut(Qt::Key_F3);
    QAction* previous = menu->addAction(u"Find Pre&vious"_s);
    previous->setObjectName(u"MNU_FINDPREVIOUS"_s);
    previous->setShortcut(Qt::SHIFT | Qt::Key_F3);
    connect(next, &QAction::triggered, this, [this] { findAgain(&CellFinder::findNext); });
    connect(previous, &QAction::triggered, this, [this] { findAgain(&CellFinder::findPrevious); });
    QAction* replace = menu->addAction(u"&Replace..."_s);
    replace->setObjectName(u"MNU_REPLACE"_s);
    replace->setShortcut(Qt::CTRL | Qt::Key_H);
    connect(replace, &QAction::triggered, this, [this] { findDialog()->showReplace(); });
    menu->addSeparator();
    QAction* save = menu->addAction(u"&Save"_s);
    save->setObjectName(u"MNU_SAVE"_s);
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, [this] { m_window->saveAll(); });
}
