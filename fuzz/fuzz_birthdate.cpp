// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Whatever a person types at the birth-date prompt: a date or nothing, never a crash, and a
// date that reads is a valid one no later in years than the year after today.
#include "engine/BirthDateReader.h"
#include "fuzz/FuzzSupport.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QDate today(2026, 12, 7);
    if (const std::optional<QDate> date = BirthDateReader::read(fuzzText(data, size), today)) {
        if (!date->isValid() || date->year() < 1000)
            std::abort();
    }
    return 0;
}
