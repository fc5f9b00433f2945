// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/RowSelector.h"

#include "editor/grid/BlockRule.h"
#include "editor/model/CellLook.h"

#include <QAbstractItemView>
#include <QPainter>

RowSelector::RowSelector(QAbstractItemView& view)
    : QHeaderView(Qt::Vertical, &view)
    , m_view(view)
{
}

void RowSelector::followCurrentRow()
{
    if (QItemSelectionModel* selection = m_view.selectionModel())
        connect(selection, &QItemSelectionModel::currentRowChanged, viewport(),
                qOverload<>(&QWidget::update), Qt::UniqueConnection);
}

int RowSelector::pointerWidth() const
{
    return fontMetrics().height() / 2;
}

QSize RowSelector::sectionSizeFromContents(int logicalIndex) const
{
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    size.rwidth() += pointerWidth() + 2;
    // Room for the unsaved mark on every row, so the grid does not shift when one appears.
    const QString mark = CellLook::unsavedMark() + u' ';
    if (model() && !model()->headerData(logicalIndex, orientation()).toString().contains(mark))
        size.rwidth() += fontMetrics().horizontalAdvance(mark);
    return size;
}

void RowSelector::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    QHeaderView::paintSection(painter, rect, logicalIndex);
    // The style hands back the clip it found, and none found means nothing may be drawn.
    painter->setClipRect(rect);
    const QModelIndex cell = model() ? model()->index(logicalIndex, 0) : QModelIndex();
    if (BlockRule::endsBlock(cell))
        BlockRule::paint(painter, rect);
    if (m_view.currentIndex().row() != logicalIndex || !cell.isValid())
        return;
    // The classic record selector's pointer, at the left, clear of the number on the right.
    const int size = pointerWidth();
    const int left = rect.left() + 2;
    const int middle = rect.center().y();
    const QPolygon pointer({QPoint(left, middle - size / 2), QPoint(left + size * 3 / 4, middle),
                            QPoint(left, middle + size / 2)});
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::WindowText));
    painter->drawPolygon(pointer);
    painter->restore();
}
