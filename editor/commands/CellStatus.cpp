// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/CellStatus.h"

#include "editor/commands/ScriptWindow.h"
#include "editor/grid/GridDelegate.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "script/LinePause.h"
#include "script/TableLayout.h"

#include <QTabWidget>

using namespace Qt::Literals::StringLiterals;

CellStatus::CellStatus(ScriptWindow& window, const QTabWidget& tabs)
    : QLabel(&window.widget())
    , m_window(window)
{
    setObjectName(u"CellStatus"_s);
    connect(&tabs, &QTabWidget::currentChanged, this, &CellStatus::refresh);
    for (Tab tab : Tabs::all) {
        ScriptGrid* grid = window.grid(tab);
        if (!grid)
            continue;
        connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &CellStatus::refresh);
        // What is typed counts as it is typed, and then as the cell holds it, saved or not.
        connect(grid->delegate(), &GridDelegate::typing, this, &CellStatus::showLength);
        connect(grid->delegate(), &GridDelegate::full, this, [this] {
            const QString full = u": the field takes no more"_s;
            if (!text().endsWith(full)) // told once, however many keys meet the limit
                setText(text() + full);
        });
        connect(grid->model(), &QAbstractItemModel::dataChanged, this, &CellStatus::refresh);
        connect(grid->model(), &QAbstractItemModel::modelReset, this, &CellStatus::refresh);
    }
}

void CellStatus::refresh()
{
    showLength(m_window.currentCell().data(Qt::EditRole).toString());
}

void CellStatus::showLength(const QString& typed)
{
    const QModelIndex cell = m_window.currentCell();
    const auto* model = qobject_cast<const RecordModel*>(cell.model());
    if (!model || !model->layout().isTextColumn(model->layout().columns.at(cell.column()))) {
        clear();
        setToolTip({});
        return;
    }
    const qsizetype characters = typed.size();
    const QString count =
        u"%1 %2"_s.arg(characters).arg(characters == 1 ? u"character"_s : u"characters"_s);
    // A note beside the lines is never presented, so it holds no one up.
    if (!model->layout().lineColumns.contains(model->layout().columns.at(cell.column()))) {
        setText(count);
        setToolTip({});
        return;
    }
    const int pause = LinePause::seconds(characters);
    setText(u"%1, pause %2 s"_s.arg(count).arg(pause));
    setToolTip(u"Shown as a line, this text stays %1 seconds before the runner goes on: a "
               u"tenth of a second a character, halves to even."_s.arg(pause));
}
