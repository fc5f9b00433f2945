// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/CountBar.h"

#include "editor/model/RecordModel.h"
#include "script/TableLayout.h"

#include <QPainter>
#include <QPalette>
#include <QStyleOptionViewItem>
#include <algorithm>

void CountBar::paint(QPainter* painter, const QStyleOptionViewItem& option,
                     const QModelIndex& index)
{
    const auto* model = qobject_cast<const RecordModel*>(index.model());
    if (!model || model->layout().columns.value(index.column()) != TableLayout::countColumn())
        return;
    // What the cell shows: an unsaved count is drawn as typed.
    bool isNumber = false;
    const qint64 count = index.data(Qt::EditRole).toString().toLongLong(&isNumber);
    const qint64 largest = model->largestCount();
    if (!isNumber || count <= 0 || largest <= 0)
        return;
    const double share = std::min(1.0, double(count) / double(largest));
    QRect bar = option.rect.adjusted(1, 2, -1, -2);
    bar.setWidth(std::max(1, int(bar.width() * share)));
    QColor colour = option.palette.color(QPalette::Highlight);
    colour.setAlpha(70);
    painter->fillRect(bar, colour);
}
