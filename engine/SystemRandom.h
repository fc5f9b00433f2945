// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/RandomSource.h"

#include <random>

// Re-seeded from the operating system's entropy at every pick, so two picks in the same
// clock tick draw independently (a seed from the clock alone would repeat them).
class SystemRandom final : public RandomSource {
public:
    void reseed() override;
    double next() override;

private:
    std::mt19937_64 m_engine{std::random_device{}()};
};
