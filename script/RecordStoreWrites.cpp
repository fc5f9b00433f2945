// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What of RecordStore writes: compared writes of fields, the short steps of a write over
// thousands of rows, and rows added, taken and put back. Each notes its own write, so that the
// file's next look does not take it for another program's.
#include "script/LockPatience.h"
#include "script/RecordStore.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSqlQuery>
#include <optional>

using namespace Qt::Literals::StringLiterals;

RecordStore::Written RecordStore::writeRow(qint64 id, const QList<Change>& changes,
                                           std::optional<QVariantList> stored)
{
    const QStringList& columns = m_table->layout().columns;
    Written result{std::move(stored), {}, {}};
    if (!result.now)
        return result;
    // The row is compared field by field inside the write transaction, where no other program
    // can change it before the update below.
    QStringList sets;
    QVariantList bindings;
    for (const Change& change : changes) {
        if (change.column < 0 || change.column >= columns.size())
            throw ScriptError(m_table->fileName(), u"a change names a field the file lacks"_s);
        const QVariant& value = result.now->at(change.column);
        if (sameValue(value, change.value))
            continue;
        if (!sameValue(value, change.base)) {
            result.conflicts << change.column;
            continue;
        }
        sets << ScriptTable::quoted(columns.at(change.column)) + u" = ?"_s;
        bindings << change.value;
        result.written << change.column;
    }
    if (sets.isEmpty())
        return result;
    bindings << id;
    if (!m_table->isOnServer()) {
        m_table->exec(
            u"UPDATE %1 SET %2 WHERE \"ID\" = ?"_s.arg(m_table->sqlName(), sets.join(u", "_s)),
            bindings);
        return result;
    }
    // A server's transaction holds no other program off the row between the read above and
    // this update, so the update itself sets each field only if it still holds its base; when
    // one no longer does, the row is read again and compared afresh.
    QStringList unchanged;
    for (const Change& change : changes) {
        if (result.written.contains(change.column)) {
            unchanged << ScriptTable::quoted(columns.at(change.column)) +
                             u" IS NOT DISTINCT FROM ?"_s;
            bindings << change.base;
        }
    }
    const QSqlQuery update =
        m_table->exec(u"UPDATE %1 SET %2 WHERE \"ID\" = ? AND %3"_s.arg(
                          m_table->sqlName(), sets.join(u", "_s), unchanged.join(u" AND "_s)),
                      bindings);
    if (update.numRowsAffected() > 0)
        return result;
    return writeRow(id, changes, read(id));
}

QHash<qint64, RecordStore::Written> RecordStore::write(const QHash<qint64, QList<Change>>& rows,
                                                       Wait wait)
{
    QHash<qint64, Written> result;
    if (rows.isEmpty())
        return result;
    const auto renew = qScopeGuard([this] { noteOwnWrite(); });
    std::optional<LockPatience> brief;
    if (wait == Wait::Briefly)
        brief.emplace(*m_table, 0);
    m_table->writeTransaction([&] {
        result.clear();
        // Rows are read in batches before and after, as a replacement may touch thousands.
        const QHash<qint64, QVariantList> before = read(rows.keys());
        QList<qint64> updated;
        for (auto row = rows.cbegin(); row != rows.cend(); ++row) {
            const auto stored = before.constFind(row.key());
            Written written =
                writeRow(row.key(), row.value(),
                         stored == before.cend() ? std::nullopt : std::optional(*stored));
            if (!written.written.isEmpty())
                updated << row.key();
            result.insert(row.key(), written);
        }
        const QHash<qint64, QVariantList> after = read(updated);
        for (qint64 id : updated)
            result[id].now = after.value(id);
    });
    return result;
}

qsizetype RecordStore::writeTexts(const TextChanges& changes, qsizetype first, TextChanges::Way way,
                                  std::chrono::milliseconds budget,
                                  std::chrono::milliseconds lockWait, QList<qsizetype>& missed)
{
    const QStringList& columns = m_table->layout().columns;
    QStringList updates;
    for (const QString& column : columns) {
        // The comparison is part of the update, so nothing is read before or after it, and
        // no other program can change the field between the two.
        const QString name = ScriptTable::quoted(column);
        updates << u"UPDATE %2 SET %1 = ? WHERE \"ID\" = ? AND %1 %3 ?"_s.arg(
            name, m_table->sqlName(), m_table->isOnServer() ? u"IS NOT DISTINCT FROM"_s : u"IS"_s);
    }
    QElapsedTimer clock;
    clock.start();
    qsizetype end = first;
    QList<qsizetype> missedHere;
    const auto renew = qScopeGuard([this] { noteOwnWrite(); });
    const LockPatience patience(*m_table, lockWait.count());
    m_table->writeTransaction([&] {
        end = first;
        missedHere.clear();
        for (; end < changes.size(); ++end) {
            if (end > first && clock.elapsed() >= budget.count())
                break;
            const int column = changes.column(end);
            if (column < 0 || column >= columns.size())
                throw ScriptError(m_table->fileName(), u"a change names a field the file lacks"_s);
            QSqlQuery& update =
                m_table->execReused(updates.at(column), {changes.to(end, way), changes.id(end),
                                                         changes.from(end, way)});
            if (update.numRowsAffected() == 0)
                missedHere << end;
        }
    });
    missed << missedHere;
    return end;
}

qint64 RecordStore::addDefaultRow()
{
    const auto renew = qScopeGuard([this] { noteOwnWrite(); });
    qint64 id = 0;
    m_table->writeTransaction([&] {
        if (m_table->isOnServer()) {
            QSqlQuery query = m_table->exec(
                u"INSERT INTO %1 DEFAULT VALUES RETURNING \"ID\""_s.arg(m_table->sqlName()));
            id = query.next() ? query.value(0).toLongLong() : 0;
            return;
        }
        QSqlQuery query = m_table->exec(u"INSERT INTO Table1 DEFAULT VALUES"_s);
        id = query.lastInsertId().toLongLong();
    });
    return id;
}

bool RecordStore::remove(qint64 id)
{
    const auto renew = qScopeGuard([this] { noteOwnWrite(); });
    int changed = 0;
    m_table->writeTransaction([&] {
        changed = m_table->exec(u"DELETE FROM %1 WHERE \"ID\" = ?"_s.arg(m_table->sqlName()), {id})
                      .numRowsAffected();
    });
    return changed > 0;
}

std::optional<QVariantList> RecordStore::take(qint64 id)
{
    const auto renew = qScopeGuard([this] { noteOwnWrite(); });
    std::optional<QVariantList> values;
    m_table->writeTransaction([&] {
        values = read(id);
        if (values)
            m_table->exec(u"DELETE FROM %1 WHERE \"ID\" = ?"_s.arg(m_table->sqlName()), {id});
    });
    return values;
}

RecordStore::Taken RecordStore::takeIfUnchanged(qint64 id, const QVariantList& expected)
{
    const auto renew = qScopeGuard([this] { noteOwnWrite(); });
    Taken result;
    m_table->writeTransaction([&] {
        result.values = read(id);
        if (!result.values || result.values->size() != expected.size())
            return;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            if (!sameValue(result.values->at(i), expected.at(i)))
                return;
        }
        m_table->exec(u"DELETE FROM %1 WHERE \"ID\" = ?"_s.arg(m_table->sqlName()), {id});
        result.deleted = true;
    });
    return result;
}

bool RecordStore::restore(qint64 id, const QVariantList& values)
{
    const QStringList& columns = m_table->layout().columns;
    if (values.size() != columns.size())
        throw ScriptError(m_table->fileName(), u"a row to put back does not fit the file"_s);
    bool restored = false;
    const auto renew = qScopeGuard([this] { noteOwnWrite(); });
    m_table->writeTransaction([&] {
        if (read(id))
            return;
        QStringList marks{u"?"_s};
        QVariantList bindings{id};
        for (const QVariant& value : values) {
            marks << u"?"_s;
            bindings << value;
        }
        m_table->exec(u"INSERT INTO %1 (\"ID\", %2) VALUES (%3)"_s.arg(
                          m_table->sqlName(), columnList(), marks.join(u", "_s)),
                      bindings);
        restored = true;
    });
    return restored;
}
