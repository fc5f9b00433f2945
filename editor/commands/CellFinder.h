// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/commands/Tab.h"
#include "script/CellSearch.h"

#include <QObject>
#include <QString>
#include <optional>

class EditHistory;
class RecordModel;
class ScriptWindow;

// Finds a text in the text fields of all four tabs in the order the grids show them: tab by
// tab, rows as shown, fields left to right, from just after the current cell, going on from
// the other end when it passes one. Replace All is a ReplaceAll. What the files hold is
// searched, so edits are saved first.
class CellFinder : public QObject {
    Q_OBJECT

public:
    CellFinder(ScriptWindow& window, EditHistory& history, QObject* parent = nullptr);

    void setOptions(const CellSearch::Options& options) { m_options = options; }
    const CellSearch::Options& options() const { return m_options; }

    // Makes the next (previous) matching cell current; false when none matches.
    bool findNext() { return find(true); }
    bool findPrevious() { return find(false); }
    // Replaces in the current cell when it matches, then finds the next match.
    bool replace(const QString& replacement);
    // Returns how many fields were changed.
    int replaceAll(const QString& replacement);

Q_SIGNALS:
    // A message for the author, naming file, row and field.
    void failed(const QString& message);

private:
    struct Place {
        int row;
        int column;
        auto operator<=>(const Place&) const = default;
    };

    bool find(bool forward);
    // The first match of tab `tab` after `from` (or the last before it); `from` is nullopt
    // for the tab's start (or end).
    std::optional<Place> nextIn(Tab tab, std::optional<Place> from, bool forward);
    // The same, for rows shown in an order of the grid's own.
    std::optional<Place> nextInShownOrder(const RecordModel& model, std::optional<Place> from,
                                          bool forward);

    ScriptWindow* m_window;
    EditHistory* m_history;
    CellSearch::Options m_options;
};
