// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHeaderView>

class QAbstractItemView;

// The record selector at the left of each row: the row's number as messages give it (and the
// unsaved mark, both from the model, so a screen reader reads what is shown), with a pointer
// drawn at the current row and the rule at the end of each block of random lines.
class RowSelector : public QHeaderView {
    Q_OBJECT

public:
    explicit RowSelector(QAbstractItemView& view);

    // Follows the view's current row; call after the view has its model.
    void followCurrentRow();

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    int pointerWidth() const;

    QAbstractItemView& m_view;
};
