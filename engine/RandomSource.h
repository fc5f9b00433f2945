// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Starts a fresh sequence; called once at the start of every pick.
    virtual void reseed() = 0;
    // Uniform in [0, 1).
    virtual double next() = 0;
};
