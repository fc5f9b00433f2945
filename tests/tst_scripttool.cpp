// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptCheck.h"
#include "script/ScriptRow.h"
#include "script/ScriptTable.h"
#include "tests/support/FileLock.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/ToolRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr auto tool = &ToolRun::tool;

// The folder's script files as they are on disk, to show that a refused command left them.
QList<QByteArray> snapshot(const QString& dir)
{
    QList<QByteArray> files;
    for (const TableLayout* layout : TableLayout::all())
        files << bytesOf(ScriptTable::pathIn(dir, *layout));
    return files;
}

bool onlyScriptFilesIn(const QString& dir)
{
    const QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    return names ==
           QStringList{u"basic.mdb"_s, u"control.mdb"_s, u"double.mdb"_s, u"special.mdb"_s};
}

QStringList journalModes(const QString& dir)
{
    QStringList modes;
    for (const TableLayout* layout : TableLayout::all()) {
        const auto table = ScriptTable::open(dir, *layout);
        QSqlQuery mode = table->exec(u"PRAGMA journal_mode"_s);
        modes << (mode.next() ? mode.value(0).toString() : QString());
    }
    return modes;
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

class TestScriptTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sampleIsACompleteCleanScript()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(u"new/script"_s);
        QCOMPARE(tool({u"sample"_s, dir}).code, 0);
        QVERIFY(onlyScriptFilesIn(dir));
        QCOMPARE(journalModes(dir), QStringList(4, u"wal"_s));

        const QList<qint64> expected{22, 100, 60};
        for (qsizetype i = 0; i < expected.size(); ++i)
            QCOMPARE(ScriptTable::open(dir, *TableLayout::all().at(i))->rowCount(), expected.at(i));
        QVERIFY(ScriptTable::open(dir, TableLayout::special())->rowCount() >= 6);
        // Clean means no nulls, no empty questions, and at least two usable lines per block.
        const QList<ScriptFinding> findings = ScriptCheck::run(dir);
        QVERIFY2(findings.isEmpty(), qPrintable(findings.value(0).message()));
        QCOMPARE(tool({u"check"_s, dir}).code, 0);
    }

    // The editor adds rows to the special table only, so every other line must be there to
    // be filled: present, empty, and saying what the runner does with it.
    void initMakesEveryLineAnAuthorFills_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("note");
        QTest::newRow("basic, greeting") << u"basic"_s << 22 << 1 << u"Greeting, shown first"_s;
        QTest::newRow("basic, age") << u"basic"_s << 22 << 13 << u"Closing: the age prompt"_s;
        QTest::newRow("basic, last") << u"basic"_s << 22 << 22 << u"Goodbye for hour 23"_s;
        QTest::newRow("control, a question")
            << u"control"_s << 100 << 41 << u"Block 2, line 1 of 20 (row 41): the first question"_s;
        QTest::newRow("double, go on")
            << u"double"_s << 60 << 60 << u"Block 2, line 20 of 20 (row 60): a pair line asked"_s;
        QTest::newRow("special") << u"special"_s << 0 << 0 << QString();
    }
    void initMakesEveryLineAnAuthorFills()
    {
        QFETCH(QString, table);
        QFETCH(int, rows);
        QFETCH(int, row);
        QFETCH(QString, note);
        QTemporaryDir tmp;
        QCOMPARE(tool({u"init"_s, tmp.path()}).code, 0);
        QVERIFY(onlyScriptFilesIn(tmp.path()));
        QCOMPARE(journalModes(tmp.path()), QStringList(4, u"wal"_s));

        const TableLayout& layout = layoutNamed(table);
        const auto file = ScriptTable::open(tmp.path(), layout);
        QCOMPARE(file->rowCount(), rows);
        file->forEachRow(layout.columns, [&](const ScriptRow& line) {
            for (qsizetype i = 1; i < layout.columns.size(); ++i) {
                QVERIFY(!line.isNull(int(i)));
                QCOMPARE(line.text(int(i)), QString());
            }
            if (line.number() == row)
                QVERIFY2(line.text(0).startsWith(note), qPrintable(line.text(0)));
        });

        // Nothing stops the runner, and the check names each line still to write.
        const ToolRun check = tool({u"check"_s, tmp.path()});
        QCOMPARE(check.code, 0);
        const QString empty = layout.kind == TableLayout::Kind::Double
                                  ? u"both texts of the pair are empty"_s
                                  : u"the text is empty"_s;
        if (rows > 0)
            QVERIFY2(check.out.contains(u"%1:%2:%3: warning: %4"_s.arg(
                         layout.fileName, QString::number(row), layout.lineColumns.first(), empty)),
                     qPrintable(check.out));
    }

    void existingFilesAreNeverReplaced_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("existing");
        QTest::newRow("init") << u"init"_s << u"control.mdb"_s;
        QTest::newRow("sample") << u"sample"_s << u"special.mdb"_s;
        QTest::newRow("left-over log") << u"sample"_s << u"double.mdb-wal"_s;
    }
    void existingFilesAreNeverReplaced()
    {
        QFETCH(QString, command);
        QFETCH(QString, existing);
        QTemporaryDir tmp;
        writeFile(tmp.filePath(existing), "the author's own");
        const ToolRun result = tool({command, tmp.path()});
        QVERIFY(result.code != 0);
        QVERIFY2(result.err.contains(existing), qPrintable(result.err));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{existing});
        QCOMPARE(bytesOf(tmp.filePath(existing)), QByteArray("the author's own"));
    }

    void failedImportLeavesTheOldScript()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(u"script"_s);
        const QString csv = tmp.filePath(u"csv"_s);
        QCOMPARE(tool({u"sample"_s, dir}).code, 0);
        QCOMPARE(tool({u"export"_s, dir, csv}).code, 0);
        const QList<QByteArray> before = snapshot(dir);

        QFile special(QDir(csv).filePath(u"special.csv"_s));
        QVERIFY(special.open(QIODevice::Append));
        special.write("\"d\",\"q\",\"some\",\"a\",\"b\",\"c\",\"d\"\r\n");
        special.close();

        ToolRun result = tool({u"import"_s, csv, dir});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(u"basic.mdb"_s), qPrintable(result.err));
        result = tool({u"import"_s, csv, dir, u"--force"_s});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(u"special.csv, line 10, field \"Yes\": \"some\" is not a "
                                     u"whole number"_s),
                 qPrintable(result.err));
        QCOMPARE(snapshot(dir), before);
        QVERIFY(onlyScriptFilesIn(dir));
    }

    void forcedImportReplacesTheScript()
    {
        QTemporaryDir tmp;
        const QString csv = tmp.filePath(u"csv"_s);
        ScriptFixture fx;
        fx.createNumbered(TableLayout::basic(), 3);
        fx.createNumbered(TableLayout::control(), 2);
        fx.createNumbered(TableLayout::doubles(), 1);
        fx.createNumbered(TableLayout::special(), 1);
        QCOMPARE(tool({u"export"_s, fx.dir(), csv}).code, 0);

        const QString dir = tmp.filePath(u"script"_s);
        QCOMPARE(tool({u"sample"_s, dir}).code, 0);
        QCOMPARE(tool({u"import"_s, csv, dir, u"--force"_s}).code, 0);
        QCOMPARE(ScriptTable::open(dir, TableLayout::basic())->rowCount(), 3);
        QCOMPARE(ScriptTable::open(dir, TableLayout::control())->rowCount(), 2);
        QCOMPARE(journalModes(dir), QStringList(4, u"wal"_s));
    }

    // Replacing a table must not silently reset the Yes counts gathered in another.
    void importOnlyReplacesTheTablesNamed()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(u"script"_s);
        const QString csv = tmp.filePath(u"csv"_s);
        QCOMPARE(tool({u"sample"_s, dir}).code, 0);
        QCOMPARE(tool({u"export"_s, dir, csv}).code, 0);
        ScriptTable::open(dir, TableLayout::special())->exec(u"UPDATE Table1 SET Yes = 2"_s);
        const qint64 cases = ScriptTable::open(dir, TableLayout::special())->rowCount();
        const QString control = QDir(csv).filePath(u"control.csv"_s);
        writeFile(control, bytesOf(control).replace("Thank you for telling me that.", "Changed."));
        const QList<QByteArray> before = snapshot(dir);

        ToolRun result =
            tool({u"import"_s, u"--only"_s, u"control,double"_s, u"--force"_s, csv, dir});
        QCOMPARE(result.code, 0);
        const QList<QByteArray> after = snapshot(dir);
        QCOMPARE(after.at(0), before.at(0));
        QCOMPARE(after.at(3), before.at(3));
        {
            const auto table = ScriptTable::open(dir, TableLayout::control());
            QSqlQuery first = table->exec(u"SELECT String FROM Table1 ORDER BY ID LIMIT 1"_s);
            QVERIFY(first.next());
            QCOMPARE(first.value(0).toString(), u"Changed."_s);
        }

        result = tool({u"import"_s, u"--only"_s, u"special"_s, u"--force"_s, csv, dir});
        QCOMPARE(result.code, 0);
        QVERIFY2(result.err.contains(
                     u"held %1 counted Yes replies; the new one holds 0"_s.arg(2 * cases)),
                 qPrintable(result.err));
    }

    void filesInUseAreNeverReplaced_data()
    {
        QTest::addColumn<bool>("writeAheadLog");
        QTest::newRow("open, write-ahead log") << true;
        QTest::newRow("being written, rollback journal") << false;
    }
    void filesInUseAreNeverReplaced()
    {
        QFETCH(bool, writeAheadLog);
        QTemporaryDir csv;
        ScriptFixture fx;
        QCOMPARE(tool({u"sample"_s, fx.dir()}).code, 0);
        QCOMPARE(tool({u"export"_s, u"--force"_s, fx.dir(), csv.path()}).code, 0);
        if (!writeAheadLog)
            fx.execute(TableLayout::special(), u"PRAGMA journal_mode=DELETE"_s);
        // Taken first: reading the file through a descriptor of its own and closing it would
        // drop this process's locks on it.
        const QList<QByteArray> before = snapshot(fx.dir());
        std::unique_ptr<ScriptTable> open;
        std::unique_ptr<FileLock> writing;
        if (writeAheadLog)
            open = ScriptTable::open(fx.dir(), TableLayout::special());
        else
            writing =
                std::make_unique<FileLock>(fx.path(TableLayout::special()), FileLock::Kind::Write);

        const ToolRun result = tool({u"import"_s, u"--force"_s, csv.path(), fx.dir()});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(u"special.mdb: the file is open in the program "
                                     u"tst_scripttool (process %1); close it"_s.arg(
                                         QCoreApplication::applicationPid())),
                 qPrintable(result.err));
        open.reset();
        writing.reset();
        QCOMPARE(snapshot(fx.dir()), before);
    }

    void checkReportsLikeALinter_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("strict");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("output"); // the first line, then the summary
        const QString nullCount = u"UPDATE Table1 SET Yes = NULL WHERE ID = 2"_s;
        QTest::newRow("clean") << QString() << QString() << true << 0 << u"No errors or warnings"_s;
        QTest::newRow("warning") << u"special"_s << nullCount << false << 0
                                 << u"special.mdb:2:Yes: warning: the count is null|0 errors and 1 "
                                    u"warning"_s;
        QTest::newRow("warning, strict")
            << u"special"_s << nullCount << true << 1
            << u"special.mdb:2:Yes: warning: |0 errors and 1 warning"_s;
        QTest::newRow("error") << u"control"_s << u"DELETE FROM Table1"_s << false << 1
                               << u"control.mdb: error: Table1 has no rows, so the runner stops "
                                  u"loading|1 error and 0 warnings"_s;
    }
    void checkReportsLikeALinter()
    {
        QFETCH(QString, table);
        QFETCH(QString, sql);
        QFETCH(bool, strict);
        QFETCH(int, code);
        QFETCH(QString, output);
        ScriptFixture fx;
        fx.createFullScript();
        for (const TableLayout* layout : TableLayout::all()) {
            if (layout->caption == table)
                fx.execute(*layout, sql);
        }
        const ToolRun result = tool(QStringList{u"check"_s, fx.dir()} +
                                    (strict ? QStringList{u"--strict"_s} : QStringList{}));
        QCOMPARE(result.code, code);
        QCOMPARE(result.err, QString());
        const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        const QStringList expected = output.split(u'|');
        QVERIFY2(lines.first().startsWith(expected.first()), qPrintable(result.out));
        QCOMPARE(lines.last(),
                 u"%1 in %2."_s.arg(expected.last(), QDir::toNativeSeparators(fx.dir())));
    }

    // Each case mends one file of an exported sample (or none) and imports it; the message
    // says what is wrong in words the author can act on.
    void faultyImportsAreToldInWords_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes"); // empty: the file is removed
        QTest::addColumn<bool>("intoScript");  // import over the existing script, without --force
        QTest::addColumn<QString>("message");
        const QByteArray control = "\"Description\",\"String\"\r\n";
        QTest::newRow("not UTF-8") << u"control.csv"_s << control + "\"d\",\"caf\xe9\"\r\n"
                                   << false
                                   << u"control.csv: line 2 is not UTF-8 text; convert the file "
                                      u"to UTF-8 first (for example with iconv)"_s;
        QTest::newRow("missing") << u"control.csv"_s << QByteArray() << false
                                 << u"control.csv: the file was not found"_s;
        QTest::newRow("binary data")
            << u"control.csv"_s
            << control + QByteArrayLiteral("\"d\",\"\x89PNG\r\n\x1a\n\0\0\xff\"\r\n") << false
            << u"control.csv, line 2, field \"String\": the field holds binary data"_s;
        QTest::newRow("semicolons")
            << u"control.csv"_s << QByteArray("\"Description\";\"String\"\r\n\"d\";\"s\"\r\n")
            << false
            << u"control.csv, line 1: the fields are separated by semicolons, but a script's CSV "
               u"files separate them by commas"_s;
        QTest::newRow("blanks in a name")
            << u"double.csv"_s << QByteArray("Description,String #1,String #2\r\n") << false
            << u"double.csv, line 1: the header row names \"String #1\" where double.mdb needs "
               u"\"String  #1\", which differs only in blanks: \"String #1\" has one blank "
               u"before \"#1\" where \"String  #1\" has two blanks"_s;
        QTest::newRow("replacing") << QString() << QByteArray() << true
                                   << u"no script file was written (--force replaces them)"_s;
    }
    void faultyImportsAreToldInWords()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, intoScript);
        QFETCH(QString, message);
        QTemporaryDir tmp;
        const QString csv = tmp.filePath(u"csv"_s);
        const QString dir = tmp.filePath(u"script"_s);
        QCOMPARE(tool({u"sample"_s, dir}).code, 0);
        QCOMPARE(tool({u"export"_s, dir, csv}).code, 0);
        if (!file.isEmpty() && bytes.isEmpty())
            QVERIFY(QFile::remove(QDir(csv).filePath(file)));
        else if (!file.isEmpty())
            writeFile(QDir(csv).filePath(file), bytes);

        const QString target = intoScript ? dir : tmp.filePath(u"other"_s);
        const QMap<QString, QByteArray> before = contents(target);
        const ToolRun result = tool({u"import"_s, csv, target});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY2(!result.err.contains(u"iconv"_s) || message.contains(u"iconv"_s),
                 qPrintable(result.err));
        QCOMPARE(contents(target), before);
    }

    void usageErrorsExitWithTwo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown") << QStringList{u"frobnicate"_s};
        QTest::newRow("no folder") << QStringList{u"check"_s, u"/nonexistent/veyrath"_s};
        QTest::newRow("too many") << QStringList{u"init"_s, u"a"_s, u"b"_s};
        QTest::newRow("force on init") << QStringList{u"init"_s, u"a"_s, u"--force"_s};
        QTest::newRow("strict on import")
            << QStringList{u"import"_s, u"a"_s, u"b"_s, u"--strict"_s};
        QTest::newRow("bom on import") << QStringList{u"import"_s, u"a"_s, u"b"_s, u"--bom"_s};
        QTest::newRow("unknown table")
            << QStringList{u"import"_s, u"--only"_s, u"basics"_s, u"."_s, u"b"_s};
        QTest::newRow("bad option") << QStringList{u"--colour"_s};
    }
    void usageErrorsExitWithTwo()
    {
        QFETCH(QStringList, args);
        const ToolRun result = tool(args);
        QCOMPARE(result.code, 2);
        QVERIFY(result.err.startsWith(u"veyrath-script: "_s));
    }
};

QTEST_GUILESS_MAIN(TestScriptTool)
#include "tst_scripttool.moc"
