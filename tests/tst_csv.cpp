// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/CsvWriter.h"
#include "script/ScriptError.h"
#include "script/ScriptImport.h"
#include "script/ScriptTable.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/ToolRun.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray written(const QList<QVariantList>& records)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer, u"test.csv"_s);
    for (const QVariantList& record : records)
        writer.addRecord(record);
    writer.finish();
    return bytes;
}

} // namespace

class TestCsv : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nullsAndEmptyTextsAreTold()
    {
        const QList<QVariantList> records = csvRecords("a,\"\",,\" x \"\r\n");
        QCOMPARE(records.size(), 1);
        const QVariantList& r = records.first();
        QCOMPARE(r.size(), 4);
        QCOMPARE(r.at(0).toString(), u"a"_s);
        QVERIFY(!r.at(1).isNull());
        QCOMPARE(r.at(1).toString(), QString());
        QVERIFY(r.at(2).isNull());
        QCOMPARE(r.at(3).toString(), u" x "_s);
    }

    void quotedFieldsKeepBreaksQuotesAndCommas()
    {
        const QList<QVariantList> records = csvRecords("\"line\none, \"\"two\"\"\"\nlast");
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0).at(0).toString(), u"line\none, \"two\""_s);
        QCOMPARE(records.at(1).at(0).toString(), u"last"_s);
    }

    void malformedTextIsRefusedWithItsLine()
    {
        try {
            csvRecords("a,b\nc,\"open\n");
            QFAIL("an open quote was taken");
        } catch (const ScriptError& error) {
            QCOMPARE(error.row(), 2);
        }
        QVERIFY_THROWS_EXCEPTION(ScriptError, csvRecords("a,b\"c\n"));
        QVERIFY_THROWS_EXCEPTION(ScriptError, csvRecords("\"a\"b\n"));
    }

    void writerOutputReadsBackTheSame()
    {
        const QVariantList values{
            QVariant(),       u""_s, u"Empty"_s, u"  both ends  "_s, u"two\r\nlines, \"quoted\""_s,
            u"çà ü ß 日本"_s, 42};
        const QList<QVariantList> records = csvRecords(written({values}));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().size(), values.size());
        QVERIFY(records.first().at(0).isNull());
        for (int i = 1; i < values.size(); ++i)
            QCOMPARE(records.first().at(i).toString(), values.at(i).toString());
    }

    void importLeavesOutAForeignKeyColumn()
    {
        ScriptFixture fx;
        fx.create(TableLayout::basic());
        auto table = ScriptTable::open(fx.dir(), TableLayout::basic());
        QCOMPARE(ScriptImport::fromCsv(
                     *table, u"\"Key\",\"Purpose\",\"String\"\n7,\"p\",\"Hi\"\n"_s, u"basic.csv"_s)
                     .records,
                 1);
        QCOMPARE(fx.column(TableLayout::basic(), u"String"_s), QVariantList{u"Hi"_s});
        QCOMPARE(fx.column(TableLayout::basic(), u"ID"_s).constFirst().toInt(), 1);
    }

    void importChecksHeaderAndCounts()
    {
        ScriptFixture fx;
        fx.create(TableLayout::special());
        auto table = ScriptTable::open(fx.dir(), TableLayout::special());
        const QString header =
            u"Description,Primary Question (Y/N),Yes,Enhance Process,"
            u"2nd Question (Input),3rd Question (Input),4th Question (Input)\n"_s;
        QCOMPARE(ScriptImport::fromCsv(*table, header + u"d,\"q?\",3,a,b,c,d\nd,q,,a,b,c,d\n"_s,
                                       u"special.csv"_s)
                     .records,
                 2);
        const QVariantList counts = fx.column(TableLayout::special(), u"Yes"_s);
        QCOMPARE(counts.size(), 2);
        QCOMPARE(counts.at(0).toInt(), 3);
        QVERIFY(counts.at(1).isNull());

        try {
            // Lines as a text editor counts them: the header is line 1, and a quoted line
            // break belongs to the record that holds it.
            ScriptImport::fromCsv(
                *table, header + u"d,\"two\nlines\",1,a,b,c,d\r\n\r\nd,q,lots,a,b,c,d\n"_s,
                u"special.csv"_s);
            QFAIL("a count that is no number was taken");
        } catch (const ScriptError& error) {
            QCOMPARE(error.message(),
                     u"special.csv, line 5, field \"Yes\": \"lots\" is not a whole "
                     u"number"_s);
        }
        QVERIFY_THROWS_EXCEPTION(
            ScriptError, ScriptImport::fromCsv(*table, u"Purpose,String\n"_s, u"special.csv"_s));
        QCOMPARE(table->rowCount(), 2);
    }

    void quotedEmptyTextIsStoredAsTextNotNull()
    {
        ScriptFixture fx;
        fx.create(TableLayout::doubles());
        auto table = ScriptTable::open(fx.dir(), TableLayout::doubles());
        ScriptImport::fromCsv(
            *table, u"Description,String  #1,String #2\r\n\"\",\"Empty\",\"\"\r\n,a,\r\n"_s,
            u"double.csv"_s);
        const QVariantList notes = fx.column(TableLayout::doubles(), u"Description"_s);
        const QVariantList seconds = fx.column(TableLayout::doubles(), u"String #2"_s);
        QVERIFY(!notes.at(0).isNull());
        QCOMPARE(notes.at(0).toString(), QString());
        QVERIFY(!seconds.at(0).isNull());
        QVERIFY(notes.at(1).isNull());
        QVERIFY(seconds.at(1).isNull());

        // As a spreadsheet saves them: empty cells are lines the runner shows, notes stay null.
        ScriptImport::Options options;
        options.emptyAsText = true;
        ScriptImport::fromCsv(*table, u"Description,String  #1,String #2\r\n,a,\r\n"_s,
                              u"double.csv"_s, options);
        QVERIFY(fx.column(TableLayout::doubles(), u"Description"_s).at(2).isNull());
        const QVariant second = fx.column(TableLayout::doubles(), u"String #2"_s).at(2);
        QVERIFY(!second.isNull());
        QCOMPARE(second.toString(), QString());
    }
};

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
