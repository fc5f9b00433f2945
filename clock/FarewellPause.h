// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>

// How long the About window stays up before a program ends. Both programs keep their
// farewell here, so that the runner's and the editor's "&Exit" cannot drift apart.
namespace FarewellPause {
// "&Exit" from the menu, in the runner and in the editor.
inline constexpr std::chrono::seconds exitMenu{10};
// The runner's goodbye once the closing exchange is over: shorter, as it always was.
inline constexpr std::chrono::seconds goodbye{8};
} // namespace FarewellPause
