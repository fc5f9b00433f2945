// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QtGlobal>

struct TableLayout;

// How the runner draws its random lines, in one place for the runner and for the script
// check, so that what the check foretells is what a run does.
//
// The random tables are read in blocks of 20 slots, each block with its role; a pick draws
// one slot of one block, skips a vacant slot and draws again, and gives up after 50 draws.
class PickRules {
public:
    static constexpr int blockSize = 20;
    static constexpr int attempts = 50;

    // The blocks of control.mdb, by what the runner does with the line drawn.
    enum ControlBlock : qint16 {
        Statements = 0,       // shown after a question, and by the first repeat
        RepeatStatements = 1, // shown by each further repeat before the next question
        FirstQuestions = 2,   // typed-answer question of a new cycle
        NextQuestions = 3,    // typed-answer question of the next cycle
        GoOnQuestions = 4,    // yes/no question after a No to go on
    };
    // The blocks of double.mdb: pair lines built around the last typed answer.
    enum DoubleBlock : qint16 {
        FirstPairs = 0, // after the first question, and by the first repeat
        NextPairs = 1,  // after the next question, and by each further repeat
        GoOnPairs = 2,  // the yes/no question whether to go on
    };

    // A slot holding exactly this text is vacant; other case or blanks make a line.
    static QString marker() { return QStringLiteral("Empty"); }
    static bool isVacant(const QString& text) { return text == marker(); }

    // The column whose text marks a slot vacant: `String` of control.mdb, `String  #1` of
    // double.mdb (the second text of a pair is never looked at); empty for the tables the
    // runner does not draw from at random.
    static QString markerColumn(const TableLayout& layout);
    // Blocks of the table: 5 for control.mdb, 3 for double.mdb, 0 for the others.
    static int blockCount(const TableLayout& layout);
    static constexpr int firstSlot(int block) { return block * blockSize + 1; }
    static constexpr int lastSlot(int block) { return firstSlot(block) + blockSize - 1; }
};
