#pragma once

#include <QRect>

// Layout sizes are kept in twips, as the windows were designed: 15 twips make one logical
// pixel at 96 dpi, and Qt scales logical pixels on high-density screens.
constexpr int twips(int value)
{
    return value / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}
