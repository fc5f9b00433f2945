// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptCheck.h"
#include "tests/support/ScriptFixture.h"

#include <QFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

using Severity = ScriptFinding::Severity;

QString describe(const QList<ScriptFinding>& findings)
{
    QStringList lines;
    for (const ScriptFinding& finding : findings)
        lines << finding.message();
    return lines.join(u'\n');
}

const TableLayout& layoutNamed(const QString& caption)
{
    for (const TableLayout* layout : TableLayout::all()) {
        if (layout->caption == caption)
            return *layout;
    }
    qFatal("no layout %s", qPrintable(caption));
}

} // namespace

class TestScriptCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wellFormedScriptIsClean()
    {
        ScriptFixture fx;
        fx.createFullScript();
        const QList<ScriptFinding> findings = ScriptCheck::run(fx.dir());
        QVERIFY2(findings.isEmpty(), qPrintable(describe(findings)));
    }

    // Each case changes one table of a full, clean script and expects exactly one finding,
    // or none when `reason` is empty.
    void oneFaultOneFinding_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("error");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("reason");

        const QString allEmpty = u"UPDATE Table1 SET String = 'Empty' WHERE ID BETWEEN 41 AND 60"_s;
        QTest::newRow("basic over capacity")
            << u"basic"_s << u"INSERT INTO Table1 (Purpose, String) VALUES ('x', 'x')"_s << true
            << 23 << QString() << u"at most 22 rows"_s;
        QTest::newRow("control over capacity")
            << u"control"_s << u"INSERT INTO Table1 (Description, String) VALUES (NULL, NULL)"_s
            << true << 101 << QString() << u"at most 100 rows"_s;
        QTest::newRow("double over capacity")
            << u"double"_s << u"INSERT INTO Table1 (Description) VALUES ('x')"_s << true << 61
            << QString() << u"at most 60 rows"_s;
        QTest::newRow("empty table")
            << u"double"_s << u"DELETE FROM Table1"_s << true << 0 << QString() << u"no rows"_s;
        QTest::newRow("no special cases") << u"special"_s << u"DELETE FROM Table1"_s << false << 0
                                          << QString() << u"nothing to ask"_s;
        QTest::newRow("short basic")
            << u"basic"_s << u"DELETE FROM Table1 WHERE ID > 20"_s << false << 0 << QString()
            << u"20 of 22 rows; the runner uses rows 21 to 22"_s;
        QTest::newRow("short control")
            << u"control"_s << u"DELETE FROM Table1 WHERE ID > 99"_s << false << 0 << QString()
            << u"99 of 100 rows; the runner uses row 100 as"_s;
        QTest::newRow("null line")
            << u"basic"_s << u"UPDATE Table1 SET String = NULL WHERE ID = 5"_s << true << 5
            << u"String"_s << u"null"_s;
        QTest::newRow("null second text")
            << u"double"_s << u"UPDATE Table1 SET \"String #2\" = NULL WHERE ID = 60"_s << true
            << 60 << u"String #2"_s << u"null"_s;
        QTest::newRow("null note is never read")
            << u"control"_s << u"UPDATE Table1 SET Description = NULL"_s << false << 0 << QString()
            << QString();
        QTest::newRow("empty line")
            << u"control"_s << u"UPDATE Table1 SET String = '' WHERE ID = 7"_s << false << 7
            << u"String"_s << u"empty line"_s;
        QTest::newRow("empty pair")
            << u"double"_s
            << u"UPDATE Table1 SET \"String  #1\" = '', \"String #2\" = '' WHERE ID = 9"_s << false
            << 9 << u"String  #1"_s << u"both texts of the pair are empty"_s;
        QTest::newRow("half a pair is a pair")
            << u"double"_s << u"UPDATE Table1 SET \"String #2\" = '' WHERE ID = 9"_s << false << 0
            << QString() << QString();
        QTest::newRow("block of markers")
            << u"control"_s << allEmpty << true << 41 << u"String"_s
            << u"block 2 (rows 41 to 60) holds only \"Empty\" markers"_s;
        QTest::newRow("lower case is no marker")
            << u"control"_s << u"UPDATE Table1 SET String = 'empty' WHERE ID = 44"_s << false << 44
            << u"String"_s << u"\"empty\" is not the marker"_s;
        QTest::newRow("trailing blank is no marker")
            << u"double"_s << u"UPDATE Table1 SET \"String  #1\" = 'Empty ' WHERE ID = 7"_s << false
            << 7 << u"String  #1"_s << u"so the runner draws it"_s;
        QTest::newRow("one line left in a block")
            << u"control"_s << allEmpty + u"; UPDATE Table1 SET String = 'a line' WHERE ID = 60"_s
            << false << 60 << u"String"_s << u"about 8%"_s;
        QTest::newRow("slots past the end are no markers")
            << u"control"_s
            << u"DELETE FROM Table1 WHERE ID > 50; UPDATE Table1 SET String = 'Empty' WHERE ID > 40"_s
            << false << 0 << QString() << u"50 of 100 rows"_s;
        QTest::newRow("pair markers")
            << u"double"_s << u"UPDATE Table1 SET \"String  #1\" = 'Empty' WHERE ID <= 20"_s << true
            << 1 << u"String  #1"_s << u"block 0"_s;
        QTest::newRow("second text is never a marker")
            << u"double"_s << u"UPDATE Table1 SET \"String #2\" = 'Empty' WHERE ID = 5"_s << false
            << 5 << u"String #2"_s << u"only in \"String  #1\""_s;
        QTest::newRow("vacant pair")
            << u"double"_s
            << u"UPDATE Table1 SET \"String  #1\" = 'Empty', \"String #2\" = 'empty' WHERE ID = 5"_s
            << false << 0 << QString() << QString();
        QTest::newRow("markers elsewhere mean nothing")
            << u"basic"_s << u"UPDATE Table1 SET String = 'Empty'"_s << false << 0 << QString()
            << QString();
        QTest::newRow("256 characters")
            << u"basic"_s
            << u"UPDATE Table1 SET Purpose = replace(hex(zeroblob(128)), '0', 'x') WHERE ID = 3"_s
            << false << 3 << u"Purpose"_s << u"256 characters"_s;
        QTest::newRow("255 characters")
            << u"basic"_s
            << u"UPDATE Table1 SET String = substr(replace(hex(zeroblob(128)), '0', 'x'), 2)"_s
            << false << 0 << QString() << QString();
        QTest::newRow("empty primary question")
            << u"special"_s << u"UPDATE Table1 SET \"Primary Question (Y/N)\" = '' WHERE ID = 2"_s
            << false << 2 << u"Primary Question (Y/N)"_s << u"empty yes/no question"_s;
        QTest::newRow("null question")
            << u"special"_s << u"UPDATE Table1 SET \"Primary Question (Y/N)\" = NULL WHERE ID = 2"_s
            << false << 2 << u"Primary Question (Y/N)"_s << u"skips this case and tells it once"_s;
        QTest::newRow("null follow-up is fewer follow-ups")
            << u"special"_s << u"UPDATE Table1 SET \"4th Question (Input)\" = NULL WHERE ID = 6"_s
            << false << 0 << QString() << QString();
        QTest::newRow("null count")
            << u"special"_s << u"UPDATE Table1 SET Yes = NULL WHERE ID = 1"_s << false << 1
            << u"Yes"_s << u"never moves up"_s;
        QTest::newRow("count no number")
            << u"special"_s << u"UPDATE Table1 SET Yes = 'lots' WHERE ID = 4"_s << false << 4
            << u"Yes"_s << u"does not count a Yes to this question and tells it once"_s;
        QTest::newRow("count with a fraction")
            << u"special"_s << u"UPDATE Table1 SET Yes = 2.5 WHERE ID = 4"_s << false << 4
            << u"Yes"_s << u"\"2.5\" is not a whole number"_s;
        QTest::newRow("count near the largest")
            << u"special"_s << u"UPDATE Table1 SET Yes = 9223372036854775000 WHERE ID = 2"_s
            << false << 2 << u"Yes"_s << u"the runner stops counting there"_s;
        QTest::newRow("count at the largest")
            << u"special"_s << u"UPDATE Table1 SET Yes = 9223372036854775807 WHERE ID = 2"_s
            << false << 2 << u"Yes"_s << u"counts no more Yes replies"_s;
        QTest::newRow("binary text")
            << u"basic"_s << u"UPDATE Table1 SET Purpose = x'00ff' WHERE ID = 3"_s << true << 3
            << u"Purpose"_s << u"binary data"_s;
        // Files made elsewhere may declare the count as they like, as long as it keeps numbers.
        const auto countDeclared = [](const QString& type) {
            return u"CREATE TABLE T (ID INTEGER PRIMARY KEY AUTOINCREMENT, Description TEXT, "
                   u"\"Primary Question (Y/N)\" TEXT, Yes %1, \"Enhance Process\" TEXT, "
                   u"\"2nd Question (Input)\" TEXT, \"3rd Question (Input)\" TEXT, "
                   u"\"4th Question (Input)\" TEXT); INSERT INTO T SELECT * FROM Table1; "
                   u"DROP TABLE Table1; ALTER TABLE T RENAME TO Table1"_s.arg(type);
        };
        QTest::newRow("count declared as text")
            << u"special"_s << countDeclared(u"VARCHAR(11)"_s) << true << 0 << QString()
            << u"declared VARCHAR(11), so it keeps counts as text"_s;
        QTest::newRow("count declared numeric")
            << u"special"_s << countDeclared(u"NUMERIC"_s) << false << 0 << QString() << QString();
    }
    void oneFaultOneFinding()
    {
        QFETCH(QString, table);
        QFETCH(QString, sql);
        QFETCH(bool, error);
        QFETCH(int, row);
        QFETCH(QString, field);
        QFETCH(QString, reason);

        ScriptFixture fx;
        fx.createFullScript();
        const TableLayout& layout = layoutNamed(table);
        for (const QString& statement : sql.split(u"; "_s))
            fx.execute(layout, statement);

        const QList<ScriptFinding> findings = ScriptCheck::run(fx.dir());
        if (reason.isEmpty()) {
            QVERIFY2(findings.isEmpty(), qPrintable(describe(findings)));
            return;
        }
        QVERIFY2(findings.size() == 1, qPrintable(describe(findings)));
        const ScriptFinding& finding = findings.first();
        QCOMPARE(finding.isError(), error);
        QCOMPARE(finding.file, layout.fileName);
        QCOMPARE(finding.row, row);
        QCOMPARE(finding.field, field);
        QVERIFY2(finding.reason.contains(reason), qPrintable(finding.message()));
        QVERIFY(finding.message().contains(error ? u": error: "_s : u": warning: "_s));
    }

    void filesThatDoNotOpenAreErrors()
    {
        ScriptFixture fx;
        fx.createFullScript();
        QVERIFY(QFile::remove(fx.path(TableLayout::special())));
        QVERIFY(QFile::remove(fx.path(TableLayout::control())));
        fx.writeBytes(TableLayout::control(), "not a database at all, just words");
        fx.execute(TableLayout::doubles(),
                   u"ALTER TABLE Table1 RENAME COLUMN \"String #2\" TO Second"_s);

        const QList<ScriptFinding> findings = ScriptCheck::run(fx.dir());
        QCOMPARE(findings.size(), 3);
        for (const ScriptFinding& finding : findings)
            QVERIFY(finding.isError());
        QCOMPARE(findings.at(0).file, u"control.mdb"_s);
        QVERIFY(findings.at(0).reason.contains(u"not a SQLite database"_s));
        QCOMPARE(findings.at(1).file, u"double.mdb"_s);
        QVERIFY(findings.at(1).reason.contains(u"\"Second\""_s));
        QCOMPARE(findings.at(2).file, u"special.mdb"_s);
        QVERIFY(findings.at(2).reason.contains(u"not found"_s));
    }

    void checkingLeavesTheFilesAlone()
    {
        ScriptFixture fx;
        fx.createFullScript();
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = NULL"_s);
        ScriptCheck::run(fx.dir());
        for (const QVariant& count : fx.column(TableLayout::special(), u"Yes"_s))
            QVERIFY(count.isNull());
    }
};

QTEST_GUILESS_MAIN(TestScriptCheck)
#include "tst_scriptcheck.moc"
