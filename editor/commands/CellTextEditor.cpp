// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/CellTextEditor.h"

#include "editor/commands/ScriptWindow.h"
#include "editor/grid/CellTextDialog.h"
#include "editor/grid/GridDelegate.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "script/TableLayout.h"

#include <QAction>
#include <QMenu>
#include <QPersistentModelIndex>

using namespace Qt::Literals::StringLiterals;

CellTextEditor::CellTextEditor(ScriptWindow& window)
    : QObject(&window.widget())
    , m_window(window)
    , m_action(new QAction(u"Edit in a &Window..."_s, this))
{
    m_action->setObjectName(u"EditInWindow"_s);
    m_action->setShortcut(Qt::SHIFT | Qt::Key_F2);
    connect(m_action, &QAction::triggered, this, &CellTextEditor::openCurrent);
    window.editMenu()->addAction(m_action);
    for (Tab tab : Tabs::all) {
        ScriptGrid* grid = window.grid(tab);
        if (!grid)
            continue;
        grid->addAction(m_action);
        connect(grid->delegate(), &GridDelegate::windowWanted, this,
                [this, grid](const QModelIndex& index) { open(grid, index); });
    }
}

void CellTextEditor::openCurrent()
{
    ScriptGrid* grid = m_window.grid(m_window.currentTab());
    if (grid)
        open(grid, grid->currentIndex());
}

CellTextDialog* CellTextEditor::open(ScriptGrid* grid, const QModelIndex& index)
{
    auto* model = qobject_cast<RecordModel*>(grid->model());
    if (!model || !index.isValid() || index.model() != model || m_dialog)
        return nullptr;
    const TableLayout& layout = model->layout();
    const QString column = layout.columns.value(index.column());
    if (!layout.isTextColumn(column))
        return nullptr;
    // What was typed in the cell so far is the text to go on with.
    if (!grid->finishEditing())
        return nullptr;
    grid->setCurrentIndex(index);
    const QPersistentModelIndex cell(index);
    const QVariant base = index.data(RecordModel::StoredValueRole);
    const QString place =
        u"%1, row %2, %3"_s.arg(layout.fileName).arg(model->rows().number(index.row())).arg(column);
    m_dialog = new CellTextDialog(place, index.data(Qt::EditRole).toString(), model->isReadOnly(),
                                  grid->window());
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    CellTextDialog* dialog = m_dialog;
    connect(dialog, &QDialog::accepted, this, [dialog, model, cell, base] {
        if (!dialog->changed() || !cell.isValid())
            return;
        model->setItemData(cell,
                           {{Qt::EditRole, dialog->text()}, {RecordModel::StoredValueRole, base}});
    });
    // Closed is gone, though the window itself is deleted a moment later.
    connect(dialog, &QDialog::finished, this, [this] { m_dialog.clear(); });
    m_dialog->open();
    return m_dialog;
}
