// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/AgeAnswer.h"

#include <QLocale>
#include <cmath>
#include <limits>

std::optional<qint16> AgeAnswer::read(const QString& typed)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(typed.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    // The default rounding mode sends halves to the even neighbour.
    const double whole = std::nearbyint(number);
    if (whole < std::numeric_limits<qint16>::min() || whole > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(whole);
}
