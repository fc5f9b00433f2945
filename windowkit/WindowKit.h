// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QRect>
#include <QStringList>

class QWidget;

// Window layouts are drawn in twips; 15 twips make a logical pixel, which Qt scales on
// high-density screens.
namespace WindowKit {
constexpr int perPixel = 15;
constexpr int length(int twips)
{
    return twips / perPixel;
}
constexpr QRect rect(int left, int top, int width, int height)
{
    return {left / perPixel, top / perPixel, width / perPixel, height / perPixel};
}
constexpr QSize size(int width, int height)
{
    return {width / perPixel, height / perPixel};
}

// Families with stand-ins for systems that lack the classic ones.
QStringList msSansSerif();
QStringList arial();
QFont font(const QStringList& families, qreal pointSize, bool bold);
// Window background and text colours, as an entry field has them, not the button face.
void useWindowColours(QWidget* widget);

// The largest size a top-level window may take on the screen it opens on: the screen's
// available area (without panels and docks) less the frame the window manager puts around
// it. Large text and high scale factors make designed sizes outgrow small screens.
QSize roomOnScreen(const QWidget& window);
} // namespace WindowKit
