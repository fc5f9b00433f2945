// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QVariant>
#include <limits>

class ScriptTable;

// What the runner's special-case step can do with the fields of a row, in one place for the
// runner and for the script check, so that what the check foretells is what a run does and
// both tell it in the same words.
//
// Positions count from 0 with ID, as the runner reads the row: 2 is the yes/no question, 3 the
// count, 4 to 7 the follow-up prompts.
class SpecialRules {
public:
    static constexpr int questionPosition = 2;
    static constexpr int countPosition = 3;
    static constexpr int firstPromptPosition = 4;
    static constexpr int lastPromptPosition = 7;

    // A null question or prompt holds nothing to ask (an empty text does: an empty line). A
    // null prompt is how a case asks fewer follow-ups than the level allows; a null question
    // leaves its case unaskable, a fault the author is told of.
    static bool canAsk(const QVariant& field) { return !field.isNull(); }
    // Why a field at `position` that cannot be asked is skipped, and what the author does.
    static QString unaskedReason(int position);

    // The runner adds one to a whole number and leaves a null as it is; any other value (a
    // text, a fraction, binary data) is left alone and the Yes is not counted.
    static bool canCount(const QVariant& count);
    // The largest count a file holds; one more would turn it into a fraction, so the runner
    // stops there.
    static constexpr qint64 largestCount = std::numeric_limits<qint64>::max();
    // How near the largest a count must come for the script check to warn of it.
    static constexpr qint64 nearLargest = 1'000'000'000;
    static bool isNearLargest(const QVariant& count);
    // The same rule for the counting statement: SQL that holds where `quotedColumn` can count.
    static QString countableCondition(const QString& quotedColumn);
    // The same, for the store `table` is in: a server's bigint count holds nothing else.
    static QString countableCondition(const ScriptTable& table, const QString& quotedColumn);
    // Why a Yes to a row whose count is `count` is not counted, and what the author does.
    static QString uncountedReason(const QVariant& count);

    // The sum of the whole-number counts of a special table: what its rows have gathered.
    static qint64 countedTotal(const ScriptTable& special);
};
