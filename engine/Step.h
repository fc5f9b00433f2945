// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// The step the question loop runs on its next pass (`NextStep`). Any other value makes the
// pass ask only whether to go on.
enum class Step : qint16 {
    None = 0,
    FirstLine = 1, // a new cycle: first question, shown line, pair
    NextLine = 2,  // the next cycle: next question, shown line, pair
    GoAgain = 3,   // a repeat around the last answer, with no new question
    Special = 4,   // the special-case script
};
