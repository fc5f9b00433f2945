// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What of RecordModel is the steps of the undo history, written past the edits held: fields
// written back, rows taken and put back. Each write is the compared write of a save.
#include "editor/model/CellLook.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QScopedValueRollback>

using namespace Qt::Literals::StringLiterals;

void RecordModel::showWritten(const QHash<qint64, RecordStore::Written>& written)
{
    if (written.size() > RowList::pageSize) {
        showAllAfresh();
        return;
    }
    for (auto row = written.cbegin(); row != written.cend(); ++row) {
        const int at = m_rows.rowOf(row.key());
        if (at >= 0 && row->now)
            showValues(at, *row->now);
    }
}

bool RecordModel::writeBack(const Fields& rows)
{
    const QScopedValueRollback busy(m_busy, true);
    QHash<qint64, RecordStore::Written> written;
    try {
        written = writeWaiting(rows);
    } catch (const ScriptError& error) {
        Q_EMIT failed(describeFile(u"nothing was changed (%1)"_s.arg(error.reason())));
        return false;
    }
    QStringList problems;
    for (auto row = written.cbegin(); row != written.cend(); ++row) {
        if (row->now && row->conflicts.isEmpty())
            continue;
        const int at = m_rows.rowOf(row.key());
        if (!row->now) {
            problems << describeFile(u"another program deleted the row with ID %1, so it was "
                                     u"not changed"_s.arg(row.key()));
            if (at >= 0 && !m_edits.contains(row.key()))
                m_rows.remove(at);
            continue;
        }
        for (int column : row->conflicts) {
            problems << describe(u"another program changed this field since, to %1, so it was "
                                 u"left as it is"_s.arg(CellLook::quoted(row->now->at(column))),
                                 at, layout().columns.at(column));
        }
    }
    showWritten(written);
    if (const Fields done = writtenFields(rows, written); !done.isEmpty()) {
        Q_EMIT saved(done);
        Q_EMIT wrote();
    }
    for (const QString& problem : problems)
        Q_EMIT failed(problem);
    return problems.isEmpty();
}

bool RecordModel::agreeToTake(qint64 id, const QVariantList& expected, const QVariantList& now)
{
    QStringList changed;
    for (qsizetype i = 0; i < expected.size() && i < now.size(); ++i) {
        if (!RecordStore::sameValue(expected.at(i), now.at(i)))
            changed << u"\"%1\" now holds %2"_s.arg(layout().columns.at(i),
                                                    CellLook::quoted(now.at(i)));
    }
    const QString reason = u"another program wrote into this row since: %1. Delete it all the "
                           u"same, with what it holds now?"_s.arg(changed.join(u"; "_s));
    const int row = m_rows.rowOf(id);
    return m_confirm && m_confirm(row >= 0 ? describe(reason, row) : describeFile(reason));
}

std::optional<QVariantList> RecordModel::takeRow(qint64 id, const QVariantList& expected)
{
    std::optional<QVariantList> values;
    try {
        if (expected.isEmpty()) {
            values = m_store.take(id);
        } else {
            RecordStore::Taken taken = m_store.takeIfUnchanged(id, expected);
            if (taken.values && !taken.deleted) {
                if (!agreeToTake(id, expected, *taken.values))
                    return std::nullopt;
                taken = m_store.takeIfUnchanged(id, *taken.values);
                if (taken.values && !taken.deleted) {
                    Q_EMIT failed(describeFile(u"another program changed the row with ID %1 "
                                               u"again, so it was left as it is"_s.arg(id)));
                    return std::nullopt;
                }
            }
            values = taken.values;
        }
    } catch (const ScriptError& error) {
        Q_EMIT failed(describeFile(u"the row with ID %1 could not be deleted (%2)"_s.arg(
            QString::number(id), error.reason())));
        return std::nullopt;
    }
    if (const int row = m_rows.rowOf(id); row >= 0) {
        m_edits.remove(id);
        m_rows.remove(row);
    }
    if (!values) {
        Q_EMIT failed(
            describeFile(u"another program deleted the row with ID %1 already"_s.arg(id)));
        return std::nullopt;
    }
    Q_EMIT wrote();
    return values;
}

bool RecordModel::putBackRow(qint64 id, int row, const QVariantList& values)
{
    bool restored = false;
    try {
        restored = m_store.restore(id, values);
    } catch (const ScriptError& error) {
        Q_EMIT failed(describeFile(u"the row with ID %1 could not be put back (%2)"_s.arg(
            QString::number(id), error.reason())));
        return false;
    }
    if (!restored) {
        Q_EMIT failed(describeFile(u"the row with ID %1 could not be put back: another row "
                                   u"holds that ID by now"_s.arg(id)));
        return false;
    }
    if (m_rows.rowOf(id) < 0)
        m_rows.insert(row, id);
    Q_EMIT wrote();
    return true;
}
