// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <stdexcept>

// A fixed table of lines numbered from 1, as scripts number their rows.
template <typename T, int Capacity> class SlotTable {
public:
    static constexpr int capacity = Capacity;

    T& operator[](int slot) { return m_slots.at(index(slot)); }
    const T& operator[](int slot) const { return m_slots.at(index(slot)); }

private:
    static std::size_t index(int slot)
    {
        if (slot < 1 || slot > Capacity)
            throw std::out_of_range("slot outside the table");
        return std::size_t(slot - 1);
    }
    std::array<T, Capacity> m_slots{};
};
