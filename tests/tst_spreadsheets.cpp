// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptTable.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/ToolRun.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// What a spreadsheet saves as CSV: quotes only around a field that needs them, nothing for an
// empty cell, so that an empty text and a null read alike.
QByteArray asSpreadsheetSaves(const QByteArray& csv)
{
    QStringList lines;
    for (const QVariantList& record : csvRecords(csv)) {
        QStringList fields;
        for (const QVariant& value : record) {
            QString text = value.toString();
            const bool quote = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
                               text.contains(u'\r');
            fields << (quote ? u'"' + text.replace(u'"', u"\"\""_s) + u'"' : text);
        }
        lines << fields.join(u',');
    }
    return (lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8();
}

} // namespace

// Scripts that go out to an author's spreadsheet and come back: as CSV files, as CSV saved by a
// spreadsheet, and as a spreadsheet file of their own.
class TestSpreadsheets : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportAndImportKeepEveryValue_data()
    {
        QTest::addColumn<bool>("spreadsheet");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("importForm");
        QTest::newRow("CSV files") << false << u"csv"_s << QStringList{};
        QTest::newRow("spreadsheet file") << true << u"script.xlsx"_s << QStringList{};
        QTest::newRow("spreadsheet file by another name")
            << true << u"script.dat"_s << QStringList{u"--xlsx"_s};
    }
    void exportAndImportKeepEveryValue()
    {
        QFETCH(bool, spreadsheet);
        QFETCH(QString, name);
        QFETCH(QStringList, importForm);
        // What spreadsheets are known to change when they read a value as a number, a
        // formula or a date, and what text files and cells are known to mangle.
        const QList<QVariant> texts{QVariant(),
                                    u""_s,
                                    u"Empty"_s,
                                    u"  blanks at both ends  "_s,
                                    u"two\r\nlines\nand a lone\rreturn"_s,
                                    u"\"quoted\", with commas,,"_s,
                                    u"Grüße, café, 日本語, 🙂"_s,
                                    u"NULL"_s,
                                    u"007"_s,
                                    u"12345678901234567890"_s,
                                    u"=1+1"_s,
                                    u"1e5"_s,
                                    u"0.10"_s,
                                    u"_x0041_ stays as typed"_s,
                                    QString(255, u'é')};
        const QVariantList counts{QVariant(), 0, -3, Q_INT64_C(9007199254740993), 42};
        ScriptFixture from;
        QList<QVariantList> rows;
        for (qsizetype i = 0; i < texts.size(); ++i)
            rows << QVariantList{texts.at(i),
                                 texts.at((i + 3) % texts.size()),
                                 counts.at(i % counts.size()),
                                 texts.at((i + 1) % texts.size()),
                                 texts.at((i + 2) % texts.size()),
                                 texts.at((i + 4) % texts.size()),
                                 texts.at((i + 6) % texts.size())};
        rows.insert(2, QVariantList(7)); // nothing at all, but a row in its place
        from.create(TableLayout::special(), rows);
        from.create(TableLayout::basic(), {{texts.at(1), texts.at(5)}, {texts.at(0), texts.at(7)}});
        from.create(TableLayout::control(), {{texts.at(4), texts.at(2)}});
        from.create(TableLayout::doubles(), {{texts.at(6), texts.at(2), texts.at(0)}});

        QTemporaryDir tmp;
        const QString out = tmp.filePath(name);
        const QString form = spreadsheet ? u"--xlsx"_s : u"--bom"_s;
        ScriptFixture to;
        QCOMPARE(ToolRun::tool({u"export"_s, form, from.dir(), out}).code, 0);
        if (!spreadsheet)
            QVERIFY(
                bytesOf(QDir(out).filePath(u"basic.csv"_s)).startsWith("\xEF\xBB\xBF\"Purpose\""));
        // The null in a line stops the runner, so only an explicit wish imports it.
        QCOMPARE(
            ToolRun::tool(QStringList{u"import"_s} + importForm + QStringList{out, to.dir()}).code,
            1);
        const ToolRun imported = ToolRun::tool(QStringList{u"import"_s, u"--allow-errors"_s} +
                                               importForm + QStringList{out, to.dir()});
        QVERIFY2(imported.code == 0, qPrintable(imported.err));

        for (const TableLayout* layout : TableLayout::all()) {
            for (const QString& column : layout->columns) {
                const QVariantList before = from.column(*layout, column);
                const QVariantList after = to.column(*layout, column);
                QCOMPARE(after.size(), before.size());
                for (qsizetype i = 0; i < before.size(); ++i) {
                    const QString where =
                        layout->fileName + u' ' + column + u' ' + QString::number(i);
                    QVERIFY2(after.at(i).isNull() == before.at(i).isNull(), qPrintable(where));
                    QVERIFY2(after.at(i).toString() == before.at(i).toString(), qPrintable(where));
                }
            }
        }
        // A second export refuses to overwrite the first without --force.
        QCOMPARE(ToolRun::tool({u"export"_s, form, from.dir(), out}).code, 1);
        QCOMPARE(ToolRun::tool({u"export"_s, form, from.dir(), out, u"--force"_s}).code, 0);

        // Binary data has no form there: refused by name rather than changed.
        from.execute(TableLayout::special(),
                     u"UPDATE Table1 SET \"Enhance Process\" = x'00ff' WHERE ID = 2"_s);
        const QMap<QString, QByteArray> before = contents(tmp.path());
        const ToolRun refused = ToolRun::tool({u"export"_s, form, from.dir(), out, u"--force"_s});
        QCOMPARE(refused.code, 1);
        QVERIFY2(
            refused.err.contains(
                u"special.mdb, row 2, field \"Enhance Process\": the field holds binary data"_s),
            qPrintable(refused.err));
        QCOMPARE(contents(tmp.path()), before);
    }

    // The round trip authors take most: export, edit in a spreadsheet, import.
    void spreadsheetSavedScriptImportsWithEmptyAsText()
    {
        QTemporaryDir tmp;
        const QString csv = tmp.filePath(u"csv"_s);
        const QString dir = tmp.filePath(u"new"_s);
        QCOMPARE(ToolRun::tool({u"sample"_s, tmp.filePath(u"sample"_s)}).code, 0);
        QCOMPARE(ToolRun::tool({u"export"_s, tmp.filePath(u"sample"_s), csv}).code, 0);
        for (const TableLayout* layout : TableLayout::all()) {
            const QString path = QDir(csv).filePath(layout->caption + u".csv"_s);
            writeFile(path, asSpreadsheetSaves(bytesOf(path)));
        }
        // The sample's vacant pairs have an empty second text, now an empty cell; one record
        // a line.
        const QList<QVariantList> records =
            csvRecords(bytesOf(QDir(csv).filePath(u"double.csv"_s)));
        qsizetype vacant = 1;
        while (!records.at(vacant).at(2).isNull())
            ++vacant;

        ToolRun result = ToolRun::tool({u"import"_s, csv, dir});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.out.contains(
                     u"double.csv:%1:String #2: error: the field is null"_s.arg(vacant + 1)),
                 qPrintable(result.out));
        QVERIFY2(result.err.contains(u"--empty-as-text"_s), qPrintable(result.err));
        QCOMPARE(contents(dir), (QMap<QString, QByteArray>()));

        result = ToolRun::tool({u"import"_s, u"--empty-as-text"_s, csv, dir});
        QCOMPARE(result.code, 0);
        result = ToolRun::tool({u"check"_s, dir});
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out,
                 u"No errors or warnings in %1.\n"_s.arg(QDir::toNativeSeparators(dir)));
    }
};

QTEST_GUILESS_MAIN(TestSpreadsheets)
#include "tst_spreadsheets.moc"
