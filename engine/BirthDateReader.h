// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Reads a typed birth date. Month first in numeric forms, as the prompt asks for MM/DD/YY:
//   M/D/YY, M/D/YYYY, M-D-YY, M.D.YYYY (one or two digits for month and day)
//   YYYY-MM-DD and YYYY/MM/DD
//   "June 15, 1965", "Jun 15 1965", "15 June 1965" (English month names, 3+ letters)
// A two-digit year is put in the latest century that does not make it a future year.
// Anything else, a time of day alone included, is not a date.
class BirthDateReader {
public:
    static std::optional<QDate> read(const QString& text, const QDate& today);
};
