// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptTable.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

// The runner's walk through the special-case table. The order — most confirmed first, ties
// in row order — is taken once when the walk is opened and kept for the whole run, but a
// row's texts are read when they are asked, so an author's edit made meanwhile is what the
// user hears. A row deleted meanwhile is skipped.
class SpecialCases {
public:
    explicit SpecialCases(std::unique_ptr<ScriptTable> table);

    const ScriptTable& table() const { return *m_table; }
    bool isEmpty() const { return m_order.isEmpty(); }
    bool atEnd() const { return m_position >= m_order.size(); }
    void moveFirst() { m_position = 0; }
    void moveNext() { ++m_position; }

    struct Case {
        qint64 id = 0;
        QVariantList fields; // positions 2 to 7 of the row (question, count, four prompts)
        const ScriptTable* table = nullptr;
        // The text at a position of the row (2, or 4 to 7); a null throws ScriptError.
        QString text(int position) const;
        // Its place in ID order, as the editor lists it; counted only for messages.
        int row() const;
    };
    // The current row as it is in the file now; nullopt when it has been deleted.
    std::optional<Case> current() const;

    // Adds one to the current row's count in a single statement, committed before it
    // returns; an empty count stays empty. Throws ScriptError when it cannot be saved.
    void countConfirmation();

private:
    std::unique_ptr<ScriptTable> m_table;
    QList<qint64> m_order;
    qsizetype m_position = 0;
};
