// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/GridClipboard.h"

#include "editor/commands/Refusals.h"
#include "editor/commands/TabSeparated.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/history/EditHistory.h"
#include "editor/model/RecordModel.h"
#include "script/FieldRule.h"
#include "script/ScriptError.h"
#include "script/TableLayout.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
// The smallest block of cells holding the selection, or the current cell alone.
QItemSelectionRange block(const ScriptGrid& grid)
{
    const QModelIndexList cells = grid.selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return grid.currentIndex().isValid() ? QItemSelectionRange(grid.currentIndex())
                                             : QItemSelectionRange();
    int top = cells.first().row();
    int bottom = top;
    int left = cells.first().column();
    int right = left;
    for (const QModelIndex& cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    const QAbstractItemModel* model = grid.model();
    return {model->index(top, left), model->index(bottom, right)};
}
} // namespace

GridClipboard::GridClipboard(EditHistory& history, QObject* parent)
    : QObject(parent)
    , m_history(&history)
{
}

void GridClipboard::copy(ScriptGrid& grid)
{
    grid.finishEditing();
    const QItemSelectionRange range = block(grid);
    if (!range.isValid())
        return;
    QList<QStringList> rows;
    for (int row = range.top(); row <= range.bottom(); ++row) {
        QStringList cells;
        for (int column = range.left(); column <= range.right(); ++column)
            cells << grid.model()->index(row, column).data(Qt::EditRole).toString();
        rows << cells;
    }
    QString text = TabSeparated::write(rows);
    // One cell goes as its text alone, to paste into any text field.
    if (rows.size() == 1 && rows.first().size() == 1 && text.endsWith(u'\n'))
        text.chop(1);
    QGuiApplication::clipboard()->setText(text);
}

bool GridClipboard::paste(ScriptGrid& grid)
{
    auto* model = qobject_cast<RecordModel*>(grid.model());
    if (!model || !grid.finishEditing())
        return false;
    const QItemSelectionRange range = block(grid);
    if (!range.isValid())
        return false;
    QList<QStringList> rows = TabSeparated::read(QGuiApplication::clipboard()->text());
    if (rows.isEmpty())
        return false;
    // One value over a selected block fills it, as in a spreadsheet.
    if (rows.size() == 1 && rows.first().size() == 1 && (range.height() > 1 || range.width() > 1))
        rows = QList<QStringList>(range.height(), QStringList(range.width(), rows.first().first()));
    const TableLayout& layout = model->layout();
    if (model->isReadOnly()) {
        Q_EMIT failed(
            ScriptError(layout.fileName, u"the file is read-only here, so nothing was pasted"_s)
                .message());
        return false;
    }
    QList<std::pair<QModelIndex, QString>> cells;
    Refusals refusals;
    for (int r = 0; r < rows.size() && range.top() + r < model->rowCount(); ++r) {
        const QStringList& values = rows.at(r);
        for (int c = 0; c < values.size() && range.left() + c < model->columnCount(); ++c) {
            const QModelIndex cell = model->index(range.top() + r, range.left() + c);
            const QString& column = layout.columns.at(cell.column());
            if (const QString problem = FieldRule::problem(layout, column, values.at(c));
                !problem.isEmpty()) {
                refusals.add([&] {
                    return ScriptError(layout.fileName, problem, model->rows().number(cell.row()),
                                       column)
                        .message();
                });
                continue;
            }
            cells << std::pair{cell, values.at(c)};
        }
    }
    if (!refusals.isEmpty()) {
        Q_EMIT failed(
            refusals.message(u"Nothing was pasted, as not every cell takes its value:\n"_s));
        return false;
    }
    m_history->beginStep(u"Paste"_s);
    for (const auto& [cell, text] : cells)
        model->setData(cell, text);
    const bool saved = model->savePending();
    m_history->endStep();
    if (!cells.isEmpty())
        grid.selectionModel()->select(QItemSelection(cells.first().first, cells.last().first),
                                      QItemSelectionModel::ClearAndSelect);
    return saved;
}
