// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowkit/WindowKit.h"

#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

QStringList WindowKit::msSansSerif()
{
    return {u"MS Sans Serif"_s, u"Microsoft Sans Serif"_s, u"Liberation Sans"_s, u"DejaVu Sans"_s,
            u"Sans Serif"_s};
}

QStringList WindowKit::arial()
{
    return {u"Arial"_s, u"Liberation Sans"_s, u"DejaVu Sans"_s, u"Sans Serif"_s};
}

QFont WindowKit::font(const QStringList& families, qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void WindowKit::useWindowColours(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QSize WindowKit::roomOnScreen(const QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    QSize frame = window.frameGeometry().size() - window.geometry().size();
    // A window never shown has no frame yet: allow for a title bar and thin borders.
    if (frame.isEmpty() && !window.testAttribute(Qt::WA_WState_Created)) {
        const int border = window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        frame = {2 * border, window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border};
    }
    return screen->availableGeometry().size() - frame;
}
