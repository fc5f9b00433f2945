// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/SystemRandom.h"

void SystemRandom::reseed()
{
    std::random_device entropy;
    std::seed_seq seed{entropy(), entropy(), entropy(), entropy()};
    m_engine.seed(seed);
}

double SystemRandom::next()
{
    return std::generate_canonical<double, 53>(m_engine);
}
