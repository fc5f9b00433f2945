// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/RowSelector.h"

#include "editor/BlockRule.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPainterPath>

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
    return size;
}

void RowSelector::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    QHeaderView::paintSection(painter, rect, logicalIndex);
    const QModelIndex cell = model() ? model()->index(logicalIndex, 0) : QModelIndex();
    if (BlockRule::endsBlock(cell))
        BlockRule::paint(painter, rect);
    if (m_view.currentIndex().row() != logicalIndex || !cell.isValid())
        return;
    // The classic record selector's pointer, at the left, clear of the number on the right.
    const int size = pointerWidth();
    const QPointF tip(rect.left() + 2 + size * 0.75, rect.center().y() + 0.5);
    QPainterPath pointer;
    pointer.moveTo(tip.x() - size * 0.75, tip.y() - size / 2.0);
    pointer.lineTo(tip);
    pointer.lineTo(tip.x() - size * 0.75, tip.y() + size / 2.0);
    pointer.closeSubpath();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(pointer, palette().color(QPalette::WindowText));
    painter->restore();
}
