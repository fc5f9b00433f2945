// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/RecordSteps.h"

#include "editor/model/CellLook.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"

#include <QScopedValueRollback>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
QString fileMessage(const RecordModel& model, const QString& reason)
{
    return ScriptError(model.layout().fileName, reason).message();
}
} // namespace

RecordModel::Fields RecordSteps::writtenFields(const RecordModel::Fields& asked,
                                               const QHash<qint64, RecordStore::Written>& written)
{
    RecordModel::Fields done;
    for (auto row = written.cbegin(); row != written.cend(); ++row) {
        for (const RecordStore::Change& change : asked.value(row.key())) {
            if (row->written.contains(change.column))
                done[row.key()] << change;
        }
    }
    return done;
}

void RecordSteps::showWritten(RecordModel& model,
                              const QHash<qint64, RecordStore::Written>& written)
{
    if (written.size() > RecordModel::pageSize) {
        model.m_cache.clear();
        if (const int rows = model.rowCount(); rows > 0) {
            Q_EMIT model.dataChanged(model.index(0, 0),
                                     model.index(rows - 1, model.columnCount() - 1));
            Q_EMIT model.headerDataChanged(Qt::Vertical, 0, rows - 1);
        }
        return;
    }
    for (auto row = written.cbegin(); row != written.cend(); ++row) {
        const int at = int(model.m_ids.indexOf(row.key()));
        if (at >= 0 && row->now)
            model.showValues(at, *row->now);
    }
}

bool RecordSteps::writeBack(RecordModel& model, const RecordModel::Fields& rows)
{
    const QScopedValueRollback busy(model.m_busy, true);
    QHash<qint64, RecordStore::Written> written;
    try {
        written = model.m_store.write(rows);
    } catch (const ScriptError& error) {
        Q_EMIT model.failed(fileMessage(model, u"nothing was changed (%1)"_s.arg(error.reason())));
        return false;
    }
    QStringList problems;
    for (auto row = written.cbegin(); row != written.cend(); ++row) {
        if (row->now && row->conflicts.isEmpty())
            continue;
        const int at = int(model.m_ids.indexOf(row.key()));
        if (!row->now) {
            problems << fileMessage(model, u"another program deleted the row with ID %1, so it "
                                           u"was not changed"_s.arg(row.key()));
            if (at >= 0 && !model.m_edits.contains(row.key()))
                model.removeRowAt(at);
            continue;
        }
        for (int column : row->conflicts) {
            problems << model.describe(
                u"another program changed this field since, to %1, so "
                u"it was left as it is"_s.arg(CellLook::quoted(row->now->at(column))),
                at, model.layout().columns.at(column));
        }
    }
    showWritten(model, written);
    if (const RecordModel::Fields done = writtenFields(rows, written); !done.isEmpty()) {
        Q_EMIT model.saved(done);
        Q_EMIT model.wrote();
    }
    for (const QString& problem : problems)
        Q_EMIT model.failed(problem);
    return problems.isEmpty();
}

std::optional<QVariantList> RecordSteps::takeRow(RecordModel& model, qint64 id)
{
    std::optional<QVariantList> values;
    try {
        values = model.m_store.take(id);
    } catch (const ScriptError& error) {
        Q_EMIT model.failed(
            fileMessage(model, u"the row with ID %1 could not be deleted (%2)"_s.arg(
                                   QString::number(id), error.reason())));
        return std::nullopt;
    }
    if (const int row = int(model.m_ids.indexOf(id)); row >= 0) {
        model.m_edits.remove(id);
        model.removeRowAt(row);
    }
    if (!values) {
        Q_EMIT model.failed(
            fileMessage(model, u"another program deleted the row with ID %1 already"_s.arg(id)));
        return std::nullopt;
    }
    Q_EMIT model.wrote();
    return values;
}

bool RecordSteps::putBackRow(RecordModel& model, qint64 id, int row, const QVariantList& values)
{
    bool restored = false;
    try {
        restored = model.m_store.restore(id, values);
    } catch (const ScriptError& error) {
        Q_EMIT model.failed(
            fileMessage(model, u"the row with ID %1 could not be put back (%2)"_s.arg(
                                   QString::number(id), error.reason())));
        return false;
    }
    if (!restored) {
        Q_EMIT model.failed(fileMessage(model, u"the row with ID %1 could not be put back: "
                                               u"another row holds that ID by now"_s.arg(id)));
        return false;
    }
    if (!model.m_ids.contains(id)) {
        const int at = std::clamp(row, 0, model.rowCount());
        model.beginInsertRows({}, at, at);
        model.m_ids.insert(at, id);
        model.m_cache.clear();
        model.endInsertRows();
    }
    Q_EMIT model.wrote();
    return true;
}
