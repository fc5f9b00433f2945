// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QVariant>

struct TableLayout;

// What a script field accepts from an author, and the value stored for a typed text.
class FieldRule {
public:
    // The reason `text` is refused for `column`, or an empty string when it is accepted.
    static QString problem(const TableLayout& layout, const QString& column, const QString& text);
    // The reason a null is refused for `column`, or an empty string where the runner takes it:
    // a note, a count, or a follow-up prompt, where a null is nothing to ask.
    static QString nullProblem(const TableLayout& layout, const QString& column);
    // The value to store for an accepted text: the count as a number (null when left blank),
    // every other field as the text itself, the empty text when blank, never a null.
    static QVariant stored(const TableLayout& layout, const QString& column, const QString& text);
};
