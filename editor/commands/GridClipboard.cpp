// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/GridClipboard.h"

#include "editor/commands/Refusals.h"
#include "editor/commands/TabSeparated.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/history/EditHistory.h"
#include "editor/model/CellLook.h"
#include "editor/model/RecordModel.h"
#include "script/FieldRule.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <algorithm>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
// The cells as this grid copied them, nulls told apart from empty texts; plain text from
// anywhere else pastes as texts.
const QString cellsFormat = u"application/x-veyrath-cells"_s;

using Cells = QList<QList<std::optional<QString>>>;

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

Cells fromClipboard()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return {};
    Cells cells;
    const QJsonObject copied = QJsonDocument::fromJson(mime->data(cellsFormat)).object();
    // Only while the text beside it is still the one copied with it.
    if (mime->hasFormat(cellsFormat) && copied.value(u"text"_s).toString() == mime->text()) {
        const QJsonArray rows = copied.value(u"cells"_s).toArray();
        for (const auto& row : rows) {
            const QJsonArray values = row.toArray();
            QList<std::optional<QString>> cellsOfRow;
            for (const auto& value : values)
                cellsOfRow << (value.isNull() ? std::nullopt : std::optional(value.toString()));
            cells << cellsOfRow;
        }
        return cells;
    }
    for (const QStringList& row : TabSeparated::read(mime->text())) {
        QList<std::optional<QString>> values;
        for (const QString& value : row)
            values << value;
        cells << values;
    }
    return cells;
}

QString counted(qsizetype count, const QString& one, const QString& many)
{
    return u"%1 %2"_s.arg(count).arg(count == 1 ? one : many);
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
    QJsonArray cells;
    for (int row = range.top(); row <= range.bottom(); ++row) {
        QStringList texts;
        QJsonArray values;
        for (int column = range.left(); column <= range.right(); ++column) {
            const QModelIndex cell = grid.model()->index(row, column);
            texts << cell.data(Qt::EditRole).toString();
            values << (cell.data(CellLook::NullRole).toBool() ? QJsonValue()
                                                              : QJsonValue(texts.last()));
        }
        rows << texts;
        cells << values;
    }
    QString text = TabSeparated::write(rows);
    // One cell goes as its text alone, to paste into any text field.
    if (rows.size() == 1 && rows.first().size() == 1 && text.endsWith(u'\n'))
        text.chop(1);
    auto* mime = new QMimeData;
    mime->setText(text);
    mime->setData(cellsFormat,
                  QJsonDocument(QJsonObject{{u"text"_s, text}, {u"cells"_s, cells}}).toJson());
    QGuiApplication::clipboard()->setMimeData(mime);
}

bool GridClipboard::paste(ScriptGrid& grid)
{
    return put(grid, fromClipboard(), u"Paste"_s, u"pasted"_s);
}

bool GridClipboard::setNull(ScriptGrid& grid)
{
    return put(grid, Cells{{std::nullopt}}, u"Set to Null"_s, u"set"_s);
}

bool GridClipboard::put(ScriptGrid& grid, Cells rows, const QString& step, const QString& done)
{
    auto* model = qobject_cast<RecordModel*>(grid.model());
    if (!model || !grid.finishEditing())
        return false;
    const QItemSelectionRange range = block(grid);
    if (!range.isValid())
        return false;
    if (rows.isEmpty())
        return false;
    // One value over a selected block fills it, as in a spreadsheet.
    if (rows.size() == 1 && rows.first().size() == 1 && (range.height() > 1 || range.width() > 1))
        rows = Cells(range.height(),
                     QList<std::optional<QString>>(range.width(), rows.first().first()));
    const TableLayout& layout = model->layout();
    if (model->isReadOnly()) {
        Q_EMIT failed(ScriptError(model->table().fileName(),
                                  u"the file is read-only here, so nothing was %1"_s.arg(done))
                          .message());
        return false;
    }
    qsizetype width = 0;
    for (const auto& row : rows)
        width = std::max(width, row.size());
    const int roomBelow = model->rowCount() - range.top();
    const int roomRight = model->columnCount() - range.left();
    if (rows.size() > roomBelow || width > roomRight) {
        // Nothing half done: a paste cut at the grid's edge would lose cells without a word.
        Q_EMIT failed(
            ScriptError(
                model->table().fileName(),
                u"nothing was pasted, as the clipboard holds %1 of %2 and from this cell "
                u"on the grid has %3 and %4. Choose a cell with room for them all%5."_s.arg(
                    counted(rows.size(), u"row"_s, u"rows"_s),
                    counted(width, u"cell"_s, u"cells"_s), counted(roomBelow, u"row"_s, u"rows"_s),
                    counted(roomRight, u"field"_s, u"fields"_s),
                    layout.kind == TableLayout::Kind::Special ? u" (Add makes rows)"_s : QString()),
                model->rows().number(range.top()), layout.columns.at(range.left()))
                .message());
        return false;
    }
    // Held by ID: a box opened on the way must not send a value to another row.
    struct Target {
        qint64 id;
        int row; // where the row was planned; a box answered meanwhile may have moved it
        int column;
        std::optional<QString> value;
    };
    QList<Target> cells;
    Refusals refusals;
    for (int r = 0; r < rows.size(); ++r) {
        const auto& values = rows.at(r);
        for (int c = 0; c < values.size(); ++c) {
            const int row = range.top() + r;
            const int field = range.left() + c;
            const QString& column = layout.columns.at(field);
            QString problem;
            if (const auto& value = values.at(c); value) {
                problem = FieldRule::problem(layout, column, *value);
                // A spreadsheet's empty cell is no count; a cleared count is typed, not pasted.
                if (problem.isEmpty() && value->isEmpty() && !layout.isTextColumn(column))
                    problem = u"an empty cell is not a whole number"_s;
            } else {
                problem = FieldRule::nullProblem(layout, column);
            }
            if (!problem.isEmpty()) {
                refusals.add([&] {
                    return ScriptError(model->table().fileName(), problem,
                                       model->rows().number(row), column)
                        .message();
                });
                continue;
            }
            cells << Target{model->rows().id(row), row, field, values.at(c)};
        }
    }
    if (!refusals.isEmpty()) {
        Q_EMIT failed(
            refusals.message(u"Nothing was %1, as not every cell takes its value:\n"_s.arg(done)));
        return false;
    }
    if (cells.isEmpty())
        return false;
    // Looking each row up by ID would make pasting over a long column quadratic: the planned
    // row is trusted while it still shows the same ID.
    const auto cellOf = [model](const Target& target) {
        const RowList& shown = model->rows();
        const bool moved = target.row >= shown.size() || shown.id(target.row) != target.id;
        return model->index(moved ? shown.rowOf(target.id) : target.row, target.column);
    };
    m_history->beginStep(step);
    for (const Target& target : cells) {
        const QModelIndex cell = cellOf(target);
        if (target.value)
            model->setData(cell, *target.value);
        else
            model->setNull(cell);
    }
    const bool saved = model->savePending();
    m_history->endStep();
    const QModelIndex first = cellOf(cells.first());
    const QModelIndex last = cellOf(cells.last());
    if (first.isValid() && last.isValid())
        grid.selectionModel()->select(QItemSelection(first, last),
                                      QItemSelectionModel::ClearAndSelect);
    return saved;
}
