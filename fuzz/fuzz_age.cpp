// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Whatever a person types as an age: a whole number that reads back the same, or nothing.
#include "engine/AgeAnswer.h"
#include "fuzz/FuzzSupport.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const std::optional<qint16> age = AgeAnswer::read(fuzzText(data, size))) {
        if (AgeAnswer::read(QString::number(*age)) != age)
            std::abort();
    }
    return 0;
}
