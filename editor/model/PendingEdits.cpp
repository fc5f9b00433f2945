// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/PendingEdits.h"

#include "editor/model/CellLook.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

const PendingEdits::Cell* PendingEdits::find(qint64 id, int column) const
{
    const auto row = m_rows.constFind(id);
    if (row == m_rows.constEnd())
        return nullptr;
    const auto cell = row->cells.constFind(column);
    return cell == row->cells.constEnd() ? nullptr : &cell.value();
}

const QMap<int, PendingEdits::Cell>& PendingEdits::cells(qint64 id) const
{
    static const QMap<int, Cell> none;
    const auto row = m_rows.constFind(id);
    return row == m_rows.constEnd() ? none : row->cells;
}

QList<qint64> PendingEdits::waitingRows() const
{
    QList<qint64> result;
    for (auto row = m_rows.cbegin(); row != m_rows.cend(); ++row) {
        if (row->waiting)
            result << row.key();
    }
    return result;
}

bool PendingEdits::hasConflict(qint64 id) const
{
    return std::ranges::any_of(cells(id), [](const Cell& cell) { return cell.theirs.has_value(); });
}

QStringList PendingEdits::texts(qint64 id) const
{
    QStringList result;
    for (const Cell& cell : cells(id))
        result << cell.value.toString();
    return result;
}

QString PendingEdits::typed(qint64 id, const QStringList& columns) const
{
    QStringList parts;
    const QMap<int, Cell>& row = cells(id);
    for (auto cell = row.cbegin(); cell != row.cend(); ++cell)
        parts << u"\"%1\": %2"_s.arg(columns.at(cell.key()), CellLook::quoted(cell->value));
    return parts.join(u", "_s);
}

QString PendingEdits::conflicts(qint64 id, const QStringList& columns) const
{
    QStringList parts;
    const QMap<int, Cell>& row = cells(id);
    for (auto cell = row.cbegin(); cell != row.cend(); ++cell) {
        if (cell->theirs)
            parts << u"\"%1\" now holds %2 where you typed %3"_s.arg(
                columns.at(cell.key()), CellLook::quoted(*cell->theirs),
                CellLook::quoted(cell->value));
    }
    return parts.join(u"; "_s);
}

void PendingEdits::set(qint64 id, int column, const QVariant& base, const QVariant& value)
{
    Row& row = m_rows[id];
    const auto existing = row.cells.constFind(column);
    const QVariant start = existing == row.cells.constEnd() ? base : existing->base;
    if (RecordStore::sameValue(start, value))
        row.cells.remove(column);
    else
        row.cells.insert(column, Cell{start, value, std::nullopt});
    if (row.cells.isEmpty())
        m_rows.remove(id);
}

QList<RecordStore::Change> PendingEdits::changes(qint64 id) const
{
    QList<RecordStore::Change> result;
    const QMap<int, Cell>& row = cells(id);
    for (auto cell = row.cbegin(); cell != row.cend(); ++cell)
        result << RecordStore::Change{cell.key(), cell->base, cell->value};
    return result;
}

void PendingEdits::setWaiting(qint64 id)
{
    if (const auto row = m_rows.find(id); row != m_rows.end())
        row->waiting = true;
}

void PendingEdits::settle(qint64 id, const RecordStore::Written& written)
{
    const auto row = m_rows.find(id);
    if (row == m_rows.end())
        return;
    row->waiting = false;
    const auto inConflict = [&written](int column) {
        return written.now && written.conflicts.contains(column);
    };
    for (auto cell = row->cells.begin(); cell != row->cells.end(); ++cell) {
        if (inConflict(cell.key()))
            cell->theirs = written.now->at(cell.key());
    }
    row->cells.removeIf([&](const auto& cell) { return !inConflict(cell.key()); });
    if (row->cells.isEmpty())
        m_rows.remove(id);
}

void PendingEdits::keepMine(qint64 id)
{
    const auto row = m_rows.find(id);
    if (row == m_rows.end())
        return;
    for (Cell& cell : row->cells) {
        if (cell.theirs)
            cell.base = *std::exchange(cell.theirs, std::nullopt);
    }
}

void PendingEdits::takeTheirs(qint64 id)
{
    const auto row = m_rows.find(id);
    if (row == m_rows.end())
        return;
    row->cells.removeIf([](const auto& cell) { return cell.value().theirs.has_value(); });
    if (row->cells.isEmpty())
        m_rows.remove(id);
}
