// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/ColumnFit.h"

#include <QHeaderView>
#include <QTableView>
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
}
