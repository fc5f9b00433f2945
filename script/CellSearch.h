// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

class ScriptTable;

// Finds a text in the text fields of one script file, inside the database, so that a search
// over a large file costs one statement rather than reading every row into the editor.
//
// Faults are thrown as ScriptError.
class CellSearch {
public:
    struct Options {
        QString text;
        bool matchCase = false;
        bool wholeCell = false; // the field holds the text and nothing else
    };
    struct Match {
        qint64 id = 0;
        int column = 0; // position in layout().columns
        QString text;   // what the field holds
    };

    // Every matching field, by row ID and then column; none for an empty text.
    static QList<Match> find(const ScriptTable& table, const Options& options);
    // The first match after the field \`column\` of the row \`id\` in that order, or the last
    // one before it; the search stops there, so a match near the start costs little.
    static std::optional<Match> next(const ScriptTable& table, const Options& options, qint64 id,
                                     int column, bool forward);
    // The matching fields among the rows with the given IDs, by row ID and then column.
    static QList<Match> find(const ScriptTable& table, const Options& options,
                             const QList<qint64>& ids);
    // The matching fields of the rows whose IDs lie after `after` up to `last`, by row ID and
    // then column: one step of a search through a large file, short enough that the window
    // answers between steps.
    static void find(const ScriptTable& table, const Options& options, qint64 after, qint64 last,
                     const std::function<void(const Match&)>& visit);
    // The smallest and the largest row ID, between which a search in steps goes; {0, 0} for an
    // empty table.
    static std::pair<qint64, qint64> idRange(const ScriptTable& table);
    // The IDs of the rows that may match, cheaply: each still to be tested with find().
    static QList<qint64> candidates(const ScriptTable& table, const Options& options);
    static bool matches(const QString& cell, const Options& options);
    // The field's text with the match, or every occurrence of it, replaced.
    static QString replaced(const QString& cell, const Options& options,
                            const QString& replacement);
};
