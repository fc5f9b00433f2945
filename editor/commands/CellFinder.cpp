// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/CellFinder.h"

#include "editor/commands/ReplaceAll.h"
#include "editor/commands/ScriptWindow.h"
#include "editor/history/EditHistory.h"
#include "editor/model/RecordModel.h"
#include "script/FieldRule.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QSet>
#include <algorithm>
#include <limits>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
// The tab `steps` tabs after `start` (before it, going back), going round.
Tab tabAfter(Tab start, int steps, bool forward)
{
    const int index = int(start) + (forward ? steps : -steps);
    return Tab(((index % Tabs::count) + Tabs::count) % Tabs::count);
}
} // namespace

CellFinder::CellFinder(ScriptWindow& window, EditHistory& history, QObject* parent)
    : QObject(parent)
    , m_window(&window)
    , m_history(&history)
{
}

std::optional<CellFinder::Place>
CellFinder::nextInShownOrder(const RecordModel& model, std::optional<Place> from, bool forward)
{
    const QList<qint64>& ids = model.rows().ids();
    QList<qint64> found = CellSearch::candidates(model.table(), m_options);
    const QSet<qint64> candidates(found.cbegin(), found.cend());
    const int step = forward ? 1 : -1;
    int row = from ? from->row : (forward ? 0 : int(ids.size()) - 1);
    // The rows that may match are read in batches, in the grid's order, until one does.
    while (row >= 0 && row < ids.size()) {
        QList<qint64> batch;
        QHash<qint64, int> rows;
        for (; row >= 0 && row < ids.size() && batch.size() < RecordStore::readBatch; row += step) {
            if (candidates.contains(ids.at(row))) {
                batch << ids.at(row);
                rows.insert(ids.at(row), row);
            }
        }
        std::optional<Place> best;
        for (const CellSearch::Match& match : CellSearch::find(model.table(), m_options, batch)) {
            const Place place{rows.value(match.id), match.column};
            if (from && !(forward ? place > *from : place < *from))
                continue;
            if (!best || (forward ? place < *best : place > *best))
                best = place;
        }
        if (best)
            return best;
    }
    return std::nullopt;
}

std::optional<CellFinder::Place> CellFinder::nextIn(Tab tab, std::optional<Place> from,
                                                    bool forward)
{
    RecordModel* model = m_window->model(tab);
    if (!model)
        return std::nullopt;
    model->completeRows();
    const QList<qint64>& ids = model->rows().ids();
    try {
        if (!std::is_sorted(ids.cbegin(), ids.cend()))
            return nextInShownOrder(*model, from, forward);
    } catch (const ScriptError& error) {
        Q_EMIT failed(error.message());
        return std::nullopt;
    }
    // Rows in ID order: the database finds the next match itself and stops there.
    qint64 id = forward ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    int column = forward ? -1 : int(model->layout().columns.size());
    if (from && from->row >= 0 && from->row < ids.size()) {
        id = ids.at(from->row);
        column = from->column;
    } else if (from) {
        return std::nullopt;
    }
    std::optional<CellSearch::Match> match;
    try {
        match = CellSearch::next(model->table(), m_options, id, column, forward);
    } catch (const ScriptError& error) {
        Q_EMIT failed(error.message());
        return std::nullopt;
    }
    if (!match)
        return std::nullopt;
    const auto row = std::lower_bound(ids.cbegin(), ids.cend(), match->id);
    if (row == ids.cend() || *row != match->id)
        return std::nullopt; // added by another program a moment ago: not in the grid yet
    return Place{int(row - ids.cbegin()), match->column};
}

bool CellFinder::find(bool forward)
{
    if (m_options.text.isEmpty())
        return false;
    m_window->saveAll();
    const Tab start = m_window->currentTab();
    std::optional<Place> current;
    if (const QModelIndex cell = m_window->currentCell(); cell.isValid())
        current = Place{cell.row(), cell.column()};
    // Once round all the tabs and back into the first, for the matches before the current cell.
    for (int step = 0; step <= Tabs::count; ++step) {
        const Tab tab = tabAfter(start, step, forward);
        const std::optional<Place> found = nextIn(tab, step == 0 ? current : std::nullopt, forward);
        if (!found)
            continue;
        const bool wrapped = step == Tabs::count || (forward ? tab < start : tab > start);
        const TableLayout& layout = m_window->model(tab)->layout();
        m_window->goToCell(tab, found->row, found->column);
        const QString where = u"Found in %1, row %2, field \"%3\"."_s.arg(
            m_window->model(tab)->table().fileName(),
            QString::number(m_window->model(tab)->rows().number(found->row)),
            layout.columns.at(found->column));
        m_window->showStatus(
            wrapped ? (forward ? u"Passed the end of the script and went on from its start. "_s
                               : u"Passed the start of the script and went on from its end. "_s) +
                          where
                    : where);
        return true;
    }
    m_window->showStatus(u"\"%1\" is nowhere in the script."_s.arg(m_options.text));
    return false;
}

bool CellFinder::replace(const QString& replacement)
{
    m_window->saveAll();
    RecordModel* model = m_window->model(m_window->currentTab());
    const QModelIndex cell = model ? m_window->currentCell() : QModelIndex();
    const QVariant stored = cell.isValid() ? cell.data(RecordModel::StoredValueRole) : QVariant();
    if (cell.isValid() && model->layout().isTextColumn(model->layout().columns.at(cell.column())) &&
        !stored.isNull() && CellSearch::matches(stored.toString(), m_options)) {
        const QString& column = model->layout().columns.at(cell.column());
        const QString text = CellSearch::replaced(stored.toString(), m_options, replacement);
        const QString problem = model->isReadOnly()
                                    ? u"the file is read-only here, so nothing was replaced"_s
                                    : FieldRule::problem(model->layout(), column, text);
        if (!problem.isEmpty()) {
            Q_EMIT failed(ScriptError(model->table().fileName(), problem,
                                      model->rows().number(cell.row()), column)
                              .message());
            return false;
        }
        const qint64 id = model->rows().ids().at(cell.row());
        m_history->beginStep(u"Replace"_s);
        model->writeBack(
            {{id, {{cell.column(), stored, FieldRule::stored(model->layout(), column, text)}}}});
        m_history->endStep();
    }
    return find(true);
}

int CellFinder::replaceAll(const QString& replacement)
{
    return ReplaceAll(*m_window, *m_history).run(m_options, replacement);
}
