// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/CellSearch.h"

#include <QString>

class EditHistory;
class ScriptWindow;

// Replaces a text in every text field of the four files that holds it, as one undo step.
// The matches are found, and then written, in short steps while the window answers (see
// StepRunner); every one is checked before any is written, and the step holds exactly what
// was written when the author stops it part-way.
//
// A replacement is refused only where it would leave a field longer than the editor takes
// and longer than it was: one that shortens an over-long text makes nothing worse.
class ReplaceAll {
public:
    ReplaceAll(ScriptWindow& window, EditHistory& history);

    // Returns how many fields were changed.
    int run(const CellSearch::Options& options, const QString& replacement);

private:
    ScriptWindow* m_window;
    EditHistory* m_history;
};
