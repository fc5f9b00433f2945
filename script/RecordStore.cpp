// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/RecordStore.h"

#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/ServerNotices.h"

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
} // namespace

QList<qint64> RecordStore::readJoinedIds(const QString& sql) const
{
    QSqlQuery query = m_table->exec(sql);
    QList<qint64> result =
        query.next() ? idsFromList(query.value(0).toByteArray()) : QList<qint64>();
    if (query.lastError().isValid())
        throw ScriptError(m_table->fileName(), query.lastError().text());
    return result;
}

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
        QList<qint64> result = readJoinedIds(
            m_table->isOnServer()
                ? u"SELECT string_agg(\"ID\"::text, ',') FROM %1"_s.arg(m_table->sqlName())
                : u"SELECT CAST(group_concat(ID) AS BLOB) FROM Table1"_s);
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
    return readJoinedIds(u"SELECT CAST(group_concat(ID) AS BLOB) FROM "
                         u"(SELECT ID FROM Table1 ORDER BY %1 DESC, ID LIMIT -1)"_s.arg(
                             ScriptTable::quoted(TableLayout::countColumn())));
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
