// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/CellTextEditor.h"

#include "editor/commands/ScriptWindow.h"
#include "editor/grid/CellTextDialog.h"
#include "editor/grid/GridDelegate.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

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
    // The window stays open while other programs change the file, so it holds its row by ID.
    const qint64 id = model->rows().id(index.row());
    const int number = model->rows().number(index.row());
    const int field = index.column();
    const QVariant base = index.data(RecordModel::StoredValueRole);
    // The field first: a title bar too narrow for the whole cuts its end.
    const QString title =
        u"%1 \u2013 %2, row %3"_s.arg(column, model->table().fileName()).arg(number);
    m_dialog = new CellTextDialog(title, index.data(Qt::EditRole).toString(), model->isReadOnly(),
                                  grid->window());
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    CellTextDialog* dialog = m_dialog;
    const QString deleted =
        ScriptError(model->table().fileName(),
                    u"another program deleted this row while you were editing it in a window"_s,
                    number, column)
            .message();
    const auto lost = [this, dialog, deleted] {
        // Told after the change that took the row, never inside it.
        QTimer::singleShot(0, this, [this, dialog = QPointer(dialog), deleted] {
            if (!dialog)
                return;
            const QString text = dialog->text();
            const bool changed = dialog->changed();
            dialog->reject();
            if (changed)
                m_window.rescueText(deleted + u'.', text);
            else
                m_window.tell(deleted + u"; the window was closed, and nothing typed was lost."_s);
        });
    };
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, dialog,
            [model, id, lost](const QModelIndex&, int first, int last) {
                const int row = model->rows().rowOf(id);
                if (row >= first && row <= last)
                    lost();
            });
    connect(model, &QAbstractItemModel::modelReset, dialog, [model, id, field, dialog, lost] {
        if (model->rows().rowOf(id) >= 0)
            return;
        if (model->lostReason().isEmpty()) {
            lost();
            return;
        }
        // The whole file is lost: the text goes with the rest of what was not saved, told once.
        if (dialog->changed())
            model->keepTyping(field, dialog->text());
        QTimer::singleShot(0, dialog, &QDialog::reject);
    });
    connect(dialog, &QDialog::accepted, this, [this, dialog, model, id, field, base, deleted] {
        if (!dialog->changed())
            return;
        const int row = model->rows().rowOf(id);
        if (row < 0) {
            m_window.rescueText(deleted + u'.', dialog->text());
            return;
        }
        model->setItemData(model->index(row, field),
                           {{Qt::EditRole, dialog->text()}, {RecordModel::StoredValueRole, base}});
    });
    // Closed is gone, though the window itself is deleted a moment later.
    connect(dialog, &QDialog::finished, this, [this] { m_dialog.clear(); });
    m_dialog->open();
    return m_dialog;
}
