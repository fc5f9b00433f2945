// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The fixed role of each row of basic.mdb, by its slot in `BasicLines`.
namespace BasicRow {
enum : int {
    Welcome = 1,         // shown first
    NamePrompt = 2,      // its answer is the user's name
    BirthDatePrompt = 3, // asked until the answer reads as a date
    NameGreeting = 4,    // shown after the name: name, blank, this line
    FirstIntroLine = 5,  // 5 to 10 are shown in order
    LastIntroLine = 10,
    GoOnLine = 10,        // shown again when the user goes on after the finish question
    FinishQuestion = 11,  // Yes goes back to the question loop
    ClosingQuestion = 12, // opens each turn of the closing exchange
    AgePrompt = 13,       // after a Yes to the closing question
    NoAgePrompt = 14,     // after a No to it
    WrongAgePrompt = 15,  // this line, blank, the typed answer, "."
    Farewell = 16,        // first farewell line
    FarewellName = 17,    // this line, blank, the user's name
    NightLine = 18,       // hours 0 to 5
    MorningLine = 19,     // 6 to 11
    AfternoonLine = 20,   // 12 to 17
    EveningLine = 21,     // 18 to 22
    LateLine = 22,        // 23
};
} // namespace BasicRow
