// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <optional>

// Reads a typed age as a whole number: blanks around it are ignored and a fraction goes to
// the nearest whole number, a half to the even one (35.5 is 36, 34.5 is 34). Empty text,
// anything that is not a number, and numbers outside the 16-bit range read as nothing.
class AgeAnswer {
public:
    static std::optional<qint16> read(const QString& typed);
};
