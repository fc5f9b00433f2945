// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/RecordStore.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QVariant>
#include <optional>

// What the author typed and the file does not hold yet, kept by row ID and field. An edit
// belongs to the row it was typed in until it is written, settled or dropped with its row,
// whatever happens to the other rows meanwhile.
class PendingEdits {
public:
    struct Cell {
        QVariant base;  // what the field held when the author began editing it
        QVariant value; // what the author typed
        // What another program wrote into the field meanwhile, while the author has yet to
        // choose between it and `value`.
        std::optional<QVariant> theirs;
    };

    bool isEmpty() const { return m_rows.isEmpty(); }
    bool contains(qint64 id) const { return m_rows.contains(id); }
    const Cell* find(qint64 id, int column) const;
    const QMap<int, Cell>& cells(qint64 id) const;
    QList<qint64> rows() const { return m_rows.keys(); }
    // Rows whose last save met a file another program held.
    QList<qint64> waitingRows() const;
    bool hasConflict(qint64 id) const;
    // For messages: "Field": "typed", ... for every edit of the row, and "Field" now holds
    // "theirs" where you typed "mine"; ... for those in conflict.
    QString typed(qint64 id, const QStringList& columns) const;
    QString conflicts(qint64 id, const QStringList& columns) const;
    // What was typed in the row, a field a line, for the author to take back.
    QStringList texts(qint64 id) const;

    // Typing back what the field held drops its edit; a field typed into again keeps the
    // base it had.
    void set(qint64 id, int column, const QVariant& base, const QVariant& value);
    QList<RecordStore::Change> changes(qint64 id) const;
    void setWaiting(qint64 id);
    // Drops what was written; a field in conflict stays, with what the file holds instead.
    void settle(qint64 id, const RecordStore::Written& written);
    // The author's choice for the fields in conflict: write theirs over, or take theirs.
    void keepMine(qint64 id);
    void takeTheirs(qint64 id);
    void remove(qint64 id) { m_rows.remove(id); }

private:
    struct Row {
        QMap<int, Cell> cells;
        bool waiting = false;
    };
    QHash<qint64, Row> m_rows;
};
