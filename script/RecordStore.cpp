// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/RecordStore.h"

#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/ServerNotices.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

RecordStore::RecordStore(ScriptTable& table)
    : m_table(&table)
    , m_stamp(table.isOnServer() ? QString() : table.path())
{
    if (!table.isOnServer())
        noteOwnWrite();
}

void RecordStore::noteOwnWrite()
{
    if (m_table->isOnServer())
        return;
    try {
        m_stamp.renew(dataVersion());
    } catch (const ScriptError&) {
        m_stamp.renew(-1); // the next look reads the version again and starts afresh
    }
}

void RecordStore::checkFile(qint64 dataVersion)
{
    if (m_table->isOnServer())
        return;
    m_table->checkStillThere();
    m_writtenOver = m_stamp.writtenOver(dataVersion);
    if (m_writtenOver)
        throw ScriptError(m_table->fileName(),
                          u"the file was written over under its name (a copy put over it, say) "
                          u"while the program had it open"_s);
}

QString RecordStore::columnList() const
{
    QStringList names;
    for (const QString& column : m_table->layout().columns)
        names << ScriptTable::quoted(column);
    return names.join(u", "_s);
}

namespace {
// The IDs of "1,2,-7,...", as group_concat writes them.
QList<qint64> idsFromList(QByteArrayView list)
{
    QList<qint64> ids;
    ids.reserve(list.count(',') + 1);
    qint64 value = 0;
    bool negative = false;
    bool any = false;
    for (const char c : list) {
        if (c == ',') {
            ids << (negative ? -value : value);
            value = 0;
            negative = false;
            any = false;
        } else if (c == '-') {
            negative = true;
        } else {
            value = value * 10 + (c - '0');
            any = true;
        }
    }
    if (any)
        ids << (negative ? -value : value);
    return ids;
}

// How long statements on the table wait for another program's lock, for as long as this
// lives.
class LockPatience {
public:
    LockPatience(ScriptTable& table, qint64 milliseconds)
        : m_table(table)
    {
        if (table.isOnServer()) {
            m_before = table.busyTimeout();
            table.setBusyTimeout(int(std::max<qint64>(1, milliseconds))); // 0 waits without end
            return;
        }
        QSqlQuery current = table.exec(u"PRAGMA busy_timeout"_s);
        m_before = current.next() ? current.value(0).toLongLong() : 0;
        table.exec(u"PRAGMA busy_timeout = %1"_s.arg(milliseconds));
    }
    ~LockPatience()
    {
        if (m_before < 0)
            return;
        if (m_table.isOnServer())
            m_table.setBusyTimeout(int(m_before));
        else
            QSqlQuery(m_table.database()).exec(u"PRAGMA busy_timeout = %1"_s.arg(m_before));
    }
    LockPatience(const LockPatience&) = delete;
    LockPatience& operator=(const LockPatience&) = delete;

private:
    ScriptTable& m_table;
    qint64 m_before = -1;
};
} // namespace

QList<qint64> RecordStore::readIds(QSqlQuery& query) const
{
    QList<qint64> result;
    while (query.next())
        result << query.value(0).toLongLong();
    if (query.lastError().isValid())
        throw ScriptError(m_table->fileName(), query.lastError().text());
    return result;
}

QList<qint64> RecordStore::ids(Order order) const
{
    if (order == Order::ById) {
        // A large file's grid waits for this list. Asked in no order, SQLite reads the IDs
        // from the smallest index that holds them (the count index of a special table), not
        // from every row of the file; one joined text spares a round through the driver for
        // each row, and as bytes it is never widened to UTF-16. Sorting here is the cheap
        // part.
        QSqlQuery query = m_table->exec(
            m_table->isOnServer()
                ? u"SELECT string_agg(\"ID\"::text, ',') FROM %1"_s.arg(m_table->sqlName())
                : u"SELECT CAST(group_concat(ID) AS BLOB) FROM Table1"_s);
        QList<qint64> result =
            query.next() ? idsFromList(query.value(0).toByteArray()) : QList<qint64>();
        if (query.lastError().isValid())
            throw ScriptError(m_table->fileName(), query.lastError().text());
        if (!std::is_sorted(result.cbegin(), result.cend()))
            std::sort(result.begin(), result.end());
        return result;
    }
    if (m_table->isOnServer()) {
        // A server puts nulls first when it counts down; a file puts them last.
        QSqlQuery query =
            m_table->exec(u"SELECT \"ID\" FROM %1 ORDER BY %2 DESC NULLS LAST, \"ID\""_s.arg(
                m_table->sqlName(), ScriptTable::quoted(TableLayout::countColumn())));
        return readIds(query);
    }
    // One joined text here too: a sort of a million rows is mostly this read. The LIMIT
    // keeps SQLite from ever leaving out the inner order, which only the joining follows.
    QSqlQuery query = m_table->exec(u"SELECT CAST(group_concat(ID) AS BLOB) FROM "
                                    u"(SELECT ID FROM Table1 ORDER BY %1 DESC, ID LIMIT -1)"_s.arg(
                                        ScriptTable::quoted(TableLayout::countColumn())));
    QList<qint64> result =
        query.next() ? idsFromList(query.value(0).toByteArray()) : QList<qint64>();
    if (query.lastError().isValid())
        throw ScriptError(m_table->fileName(), query.lastError().text());
    return result;
}

QList<qint64> RecordStore::firstIds(int count) const
{
    QSqlQuery query = m_table->exec(
        u"SELECT \"ID\" FROM %1 ORDER BY \"ID\" LIMIT ?"_s.arg(m_table->sqlName()), {count});
    return readIds(query);
}

qint64 RecordStore::largestCount() const
{
    // Every number sorts before every text in SQLite, so this leaves out a count kept as text
    // and is answered from the count index where there is one.
    const QString count = ScriptTable::quoted(TableLayout::countColumn());
    QSqlQuery query = m_table->exec(m_table->isOnServer()
                                        ? u"SELECT max(%1) FROM %2"_s.arg(count, m_table->sqlName())
                                        : u"SELECT MAX(%1) FROM Table1 WHERE %1 < ''"_s.arg(count));
    return query.next() ? std::max<qint64>(0, query.value(0).toLongLong()) : 0;
}

QHash<qint64, QVariantList> RecordStore::read(const QList<qint64>& wanted) const
{
    QHash<qint64, QVariantList> rows;
    const auto width = m_table->layout().columns.size();
    for (qsizetype start = 0; start < wanted.size(); start += readBatch) {
        const QList<qint64> batch = wanted.mid(start, readBatch);
        QStringList marks;
        QVariantList bindings;
        for (qint64 id : batch) {
            marks << u"?"_s;
            bindings << id;
        }
        QSqlQuery query = m_table->exec(u"SELECT \"ID\", %1 FROM %2 WHERE \"ID\" IN (%3)"_s.arg(
                                            columnList(), m_table->sqlName(), marks.join(u',')),
                                        bindings);
        while (query.next()) {
            QVariantList values;
            values.reserve(width);
            for (qsizetype i = 0; i < width; ++i)
                values << query.value(int(i + 1));
            rows.insert(query.value(0).toLongLong(), values);
        }
        if (query.lastError().isValid())
            throw ScriptError(m_table->fileName(), query.lastError().text());
    }
    return rows;
}

std::optional<QVariantList> RecordStore::read(qint64 id) const
{
    const auto rows = read(QList<qint64>{id});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.value(id);
}

bool RecordStore::sameValue(const QVariant& a, const QVariant& b)
{
    // QVariant alone finds a null text equal to the empty one.
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a == b;
}

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

qint64 RecordStore::dataVersion() const
{
    if (m_table->isOnServer())
        return m_table->announcements();
    QSqlQuery query = m_table->exec(u"PRAGMA data_version"_s);
    return query.next() ? query.value(0).toLongLong() : 0;
}

bool RecordStore::watch(QObject* context, const std::function<void()>& changed)
{
    const ServerNotices* notices = m_table->listen();
    if (!notices)
        return false;
    QObject::connect(notices, &ServerNotices::changed, context,
                     [table = m_table->fileName(), changed](const QString& name) {
                         if (name == table)
                             changed();
                     });
    return true;
}

RecordStore::RowChanges RecordStore::rowChanges(const QList<qint64>& known) const
{
    // IDs only grow: with as many rows as before and the same highest ID, none came or went.
    QSqlQuery extent = m_table->exec(
        u"SELECT count(*), coalesce(max(\"ID\"), 0) FROM %1"_s.arg(m_table->sqlName()));
    if (!extent.next())
        throw ScriptError(m_table->fileName(), extent.lastError().text());
    const qint64 maxKnown = known.isEmpty() ? 0 : *std::max_element(known.cbegin(), known.cend());
    if (extent.value(0).toLongLong() == known.size() && extent.value(1).toLongLong() == maxKnown)
        return {};
    extent.finish();

    QList<qint64> before = known;
    std::sort(before.begin(), before.end());
    const QList<qint64> now = ids(Order::ById);
    RowChanges changes;
    std::set_difference(now.cbegin(), now.cend(), before.cbegin(), before.cend(),
                        std::back_inserter(changes.added));
    std::set_difference(before.cbegin(), before.cend(), now.cbegin(), now.cend(),
                        std::back_inserter(changes.deleted));
    return changes;
}

void RecordStore::ensureCountIndex()
{
    if (m_table->isReadOnly() || m_table->isOnServer() ||
        !m_table->layout().columns.contains(TableLayout::countColumn()))
        return;
    // Asked first, as even a statement that makes nothing would wait for another program's
    // write lock.
    QSqlQuery known = m_table->exec(
        u"SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = 'Table1_Yes'"_s);
    if (known.next() && known.value(0).toLongLong() > 0)
        return;
    known.finish();
    if (m_table->rowCount() > maxRowsToIndex)
        return;
    const auto renew = qScopeGuard([this] { noteOwnWrite(); });
    m_table->exec(u"CREATE INDEX IF NOT EXISTS Table1_Yes ON Table1 (%1 DESC, ID)"_s.arg(
        ScriptTable::quoted(TableLayout::countColumn())));
}
