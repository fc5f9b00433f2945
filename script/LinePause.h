// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// How long the runner holds a shown line before it goes on, in one place for the runner and
// for the editor, so that what the author is told is what a run does.
class LinePause {
public:
    // Whole seconds for a line of `characters`: a tenth of a second a character, halves to
    // even.
    static int seconds(qsizetype characters);
};
