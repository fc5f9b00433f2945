// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <array>
#include <optional>

struct TableLayout;

// The editor's tabs, one per script file, in the order the window shows them.
enum class Tab { Basic, Control, Double, Special };

namespace Tabs {
inline constexpr int count = 4;
inline constexpr std::array<Tab, count> all{Tab::Basic, Tab::Control, Tab::Double, Tab::Special};
static_assert(int(all.back()) == count - 1);

// The layout of the file the tab shows.
const TableLayout& layout(Tab tab);
// The tab showing the file `fileName`; nullopt when no tab does.
std::optional<Tab> ofFile(const QString& fileName);
} // namespace Tabs
