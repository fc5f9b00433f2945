// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/ScriptFixture.h"

#include "script/ScriptTable.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// A connection outside the programs' own code, so tests see the file as another process would.
template <typename Work> void withConnection(const QString& path, Work work)
{
    const QString name = u"fixture-"_s + path;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=10000"_s);
        if (!db.open())
            qFatal("fixture cannot open %s", qPrintable(path));
        work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}
} // namespace

ScriptFixture::ScriptFixture()
{
    if (!m_dir.isValid())
        qFatal("no temporary folder");
}

QString ScriptFixture::path(const TableLayout& layout) const
{
    return ScriptTable::pathIn(dir(), layout);
}

QVariantList ScriptFixture::numberedRow(const TableLayout& layout, int k, const QString& prefix)
{
    QVariantList row;
    for (const QString& column : layout.columns) {
        if (!layout.isTextColumn(column))
            row << 0;
        else if (layout.lineColumns.contains(column))
            row << (prefix.isEmpty() ? column : prefix) + u' ' + QString::number(k);
        else
            row << u"note %1"_s.arg(k);
    }
    return row;
}

void ScriptFixture::create(const TableLayout& layout, const QList<QVariantList>& rows) const
{
    auto table = ScriptTable::create(dir(), layout);
    table->writeTransaction([&] {
        for (const QVariantList& row : rows)
            table->insertRow(row);
    });
}

void ScriptFixture::createNumbered(const TableLayout& layout, int count,
                                   const QString& prefix) const
{
    QList<QVariantList> rows;
    for (int k = 1; k <= count; ++k)
        rows << numberedRow(layout, k, prefix);
    create(layout, rows);
}

void ScriptFixture::createFullScript() const
{
    createNumbered(TableLayout::basic(), 22, u"basic"_s);
    createNumbered(TableLayout::control(), 100, u"control"_s);
    createNumbered(TableLayout::doubles(), 60, u"double"_s);
    createNumbered(TableLayout::special(), 6);
}

void ScriptFixture::writeBytes(const TableLayout& layout, const QByteArray& bytes) const
{
    QFile file(path(layout));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("fixture cannot write %s", qPrintable(path(layout)));
}

void ScriptFixture::execute(const TableLayout& layout, const QString& sql) const
{
    withConnection(path(layout), [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(sql))
            qFatal("fixture SQL failed: %s: %s", qPrintable(sql),
                   qPrintable(query.lastError().text()));
    });
}

QVariantList ScriptFixture::column(const TableLayout& layout, const QString& name) const
{
    QVariantList values;
    withConnection(path(layout), [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(u"SELECT %1 FROM Table1 ORDER BY ID"_s.arg(ScriptTable::quoted(name))))
            qFatal("fixture read failed: %s", qPrintable(query.lastError().text()));
        while (query.next())
            values << query.value(0);
    });
    return values;
}

QString ScriptFixture::integrity(const TableLayout& layout) const
{
    QString verdict;
    withConnection(path(layout), [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (query.exec(u"PRAGMA integrity_check"_s) && query.next())
            verdict = query.value(0).toString();
    });
    return verdict;
}
