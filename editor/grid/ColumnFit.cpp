// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/ColumnFit.h"

#include "editor/model/RecordModel.h"
#include "script/TableLayout.h"

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTimer>
#include <algorithm>

void ColumnFit::fit(QTableView& grid)
{
    QHeaderView* header = grid.horizontalHeader();
    if (!grid.model())
        return;
    grid.verticalHeader()->setResizeContentsPrecision(sampledRows);
    header->setResizeContentsPrecision(sampledRows);
    header->setStretchLastSection(true);
    // Wide enough for a few words of a line, so several columns share the grid's width.
    const int widest = grid.fontMetrics().averageCharWidth() * 32;
    for (int column = 0; column < header->count(); ++column) {
        grid.resizeColumnToContents(column);
        // The caption always shows whole; long texts end in an ellipsis instead.
        const int caption = header->sectionSizeHint(column);
        header->resizeSection(column,
                              std::max(caption, std::min(header->sectionSize(column), widest)));
    }
    widenForCounts(grid);
    auto* records = qobject_cast<RecordModel*>(grid.model());
    if (!records)
        return;
    // Once for all the changes of one turn of the window: a step of a replacement, a refresh.
    auto* again = new QTimer(&grid);
    again->setSingleShot(true);
    again->setInterval(0);
    QObject::connect(again, &QTimer::timeout, &grid, [&grid] { widenForCounts(grid); });
    const auto soon = [again] { again->start(); };
    QObject::connect(records, &QAbstractItemModel::dataChanged, again, soon);
    QObject::connect(records, &QAbstractItemModel::rowsInserted, again, soon);
    QObject::connect(records, &QAbstractItemModel::modelReset, again, soon);
}

void ColumnFit::widenForCounts(QTableView& grid)
{
    const auto* records = qobject_cast<const RecordModel*>(grid.model());
    if (!records)
        return;
    const auto column = int(records->layout().columns.indexOf(TableLayout::countColumn()));
    if (column < 0)
        return;
    // As wide as the view would make a cell showing the largest count, which may be in a row
    // far out of sight: counts are many digits long only after years of use.
    QStyleOptionViewItem cell;
    cell.initFrom(grid.viewport());
    cell.font = grid.font();
    cell.fontMetrics = grid.fontMetrics();
    cell.features = QStyleOptionViewItem::HasDisplay;
    cell.displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    cell.text = QString::number(records->largestCount());
    const int gridLine = grid.showGrid() ? 1 : 0;
    const int needed =
        grid.style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), &grid).width() +
        gridLine;
    if (grid.columnWidth(column) < needed)
        grid.setColumnWidth(column, needed);
}
