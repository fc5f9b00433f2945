// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/CellFit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionViewItem>

bool CellFit::isCut(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (!index.isValid() || option.text.isEmpty())
        return false;
    // A grid cell shows one line; the rest of a text of several lines is out of sight.
    if (option.text.contains(u'\n') || option.text.contains(QChar::LineSeparator))
        return true;
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
    // The margin the style keeps on either side of an item's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return QFontMetrics(option.font).horizontalAdvance(option.text) > textRect.width() - 2 * margin;
}

QStringList CellFit::lines(const QString& text, int length)
{
    QStringList result;
    for (QString rest : text.split(u'\n')) {
        while (rest.size() > length) {
            qsizetype cut = rest.lastIndexOf(u' ', length);
            if (cut <= 0)
                cut = length; // one word longer than a line
            result << rest.left(cut);
            rest = rest.mid(cut).trimmed();
        }
        result << rest;
    }
    return result;
}
