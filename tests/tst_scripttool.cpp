// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/CsvReader.h"
#include "script/ScriptCheck.h"
#include "script/ScriptTable.h"
#include "tests/support/FileLock.h"
#include "tests/support/ScriptFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Result {
    int code = -1;
    QString err;
    QString out;
};

Result run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        qFatal("veyrath-script did not finish");
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError()),
            QString::fromUtf8(process.readAllStandardOutput())};
}

Result tool(const QStringList& args)
{
    return run(QStringLiteral(VEYRATH_SCRIPT_TOOL), args);
}

// The tool with every file it writes held to 64 KiB, a write past that failing as on a full
// disk (the signal that would end it is ignored, so the write returns an error instead).
Result toolWithSmallFiles(const QStringList& args)
{
    return run(u"/bin/sh"_s,
               QStringList{u"-c"_s, u"trap '' XFSZ; ulimit -f 128; exec \"$0\" \"$@\""_s,
                           QStringLiteral(VEYRATH_SCRIPT_TOOL)} +
                   args);
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The folder's script files as they are on disk, to show that a refused command left them.
QList<QByteArray> snapshot(const QString& dir)
{
    QList<QByteArray> files;
    for (const TableLayout* layout : TableLayout::all())
        files << bytesOf(ScriptTable::pathIn(dir, *layout));
    return files;
}

// Every entry of a folder with its bytes, hidden ones included: nothing added, nothing changed.
QMap<QString, QByteArray> contents(const QString& dir)
{
    QMap<QString, QByteArray> found;
    for (const QString& name :
         QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        found.insert(name, bytesOf(QDir(dir).filePath(name)));
    return found;
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
const QStringList allWriteAheadLog{u"wal"_s, u"wal"_s, u"wal"_s, u"wal"_s};

// What a spreadsheet saves: quotes only around a field that needs them, nothing for an
// empty cell, so that an empty text and a null read alike.
QByteArray asSpreadsheetSaves(const QByteArray& csv)
{
    QList<QVariantList> records;
    CsvReader::Failure failure;
    if (!CsvReader::parse(QString::fromUtf8(csv), records, failure))
        qFatal("the sample is not CSV");
    QStringList lines;
    for (const QVariantList& record : std::as_const(records)) {
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

// A small file system of its own that the test can fill, where the system allows mounting.
class SmallDisk {
public:
    explicit SmallDisk(QString path)
        : m_path(std::move(path))
    {
        QDir().mkpath(m_path);
        m_mounted = QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=300k"_s,
                                                   u"tmpfs"_s, m_path}) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(u"umount"_s, {m_path});
    }
    bool mounted() const { return m_mounted; }
    // Fills the disk up to `room` bytes.
    void leave(qint64 room) const
    {
        QStorageInfo disk(m_path);
        writeFile(m_path + u"/filler"_s, QByteArray(disk.bytesAvailable() - room, '\0'));
    }

private:
    QString m_path;
    bool m_mounted = false;
};

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
        QCOMPARE(journalModes(dir), allWriteAheadLog);

        const QList<qint64> expected{22, 100, 60};
        for (qsizetype i = 0; i < expected.size(); ++i)
            QCOMPARE(ScriptTable::open(dir, *TableLayout::all().at(i))->rowCount(), expected.at(i));
        QVERIFY(ScriptTable::open(dir, TableLayout::special())->rowCount() >= 6);
        // Clean means no nulls, no empty questions, and at least two usable lines per block.
        const QList<ScriptFinding> findings = ScriptCheck::run(dir);
        QVERIFY2(findings.isEmpty(), qPrintable(findings.value(0).message()));
        QCOMPARE(tool({u"check"_s, dir}).code, 0);
    }

    void initMakesEmptyTables()
    {
        QTemporaryDir tmp;
        QCOMPARE(tool({u"init"_s, tmp.path()}).code, 0);
        QVERIFY(onlyScriptFilesIn(tmp.path()));
        QCOMPARE(journalModes(tmp.path()), allWriteAheadLog);
        for (const TableLayout* layout : TableLayout::all())
            QCOMPARE(ScriptTable::open(tmp.path(), *layout)->rowCount(), 0);
        QCOMPARE(tool({u"check"_s, tmp.path()}).code, 1);
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
        const Result result = tool({command, tmp.path()});
        QVERIFY(result.code != 0);
        QVERIFY2(result.err.contains(existing), qPrintable(result.err));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{existing});
        QCOMPARE(bytesOf(tmp.filePath(existing)), QByteArray("the author's own"));
    }

    void exportAndImportKeepEveryValue()
    {
        const QList<QVariant> texts{QVariant(),
                                    u""_s,
                                    u"Empty"_s,
                                    u"empty"_s,
                                    u"  blanks at both ends  "_s,
                                    u"two\r\nlines\nand a lone\rreturn"_s,
                                    u"\"quoted\", with commas,,"_s,
                                    u"Grüße, café, 日本語, 🙂"_s,
                                    u"NULL"_s,
                                    u"0042"_s};
        ScriptFixture from;
        QList<QVariantList> rows;
        const QVariantList counts{QVariant(), 0, -3, Q_INT64_C(9007199254740993)};
        for (qsizetype i = 0; i < texts.size(); ++i)
            rows << QVariantList{texts.at(i),
                                 texts.at((i + 3) % texts.size()),
                                 counts.at(i % counts.size()),
                                 texts.at((i + 1) % texts.size()),
                                 texts.at((i + 2) % texts.size()),
                                 texts.at((i + 4) % texts.size()),
                                 texts.at((i + 6) % texts.size())};
        from.create(TableLayout::special(), rows);
        from.create(TableLayout::basic(), {{texts.at(1), texts.at(5)}, {texts.at(0), texts.at(7)}});
        from.create(TableLayout::control(), {{texts.at(4), texts.at(2)}});
        from.create(TableLayout::doubles(), {{texts.at(6), texts.at(2), texts.at(0)}});

        QTemporaryDir csv;
        ScriptFixture to;
        QCOMPARE(tool({u"export"_s, u"--bom"_s, from.dir(), csv.path()}).code, 0);
        QVERIFY(bytesOf(csv.filePath(u"basic.csv"_s)).startsWith("\xEF\xBB\xBF\"Purpose\""));
        // The null in a line stops the runner, so only an explicit wish imports it.
        QCOMPARE(tool({u"import"_s, csv.path(), to.dir()}).code, 1);
        QCOMPARE(tool({u"import"_s, u"--allow-errors"_s, csv.path(), to.dir()}).code, 0);

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
        // A second export refuses to overwrite the first without --force, and writes no mark
        // without --bom.
        QCOMPARE(tool({u"export"_s, from.dir(), csv.path()}).code, 1);
        QCOMPARE(tool({u"export"_s, from.dir(), csv.path(), u"--force"_s}).code, 0);
        QVERIFY(bytesOf(csv.filePath(u"basic.csv"_s)).startsWith("\"Purpose\""));

        // Binary data has no CSV form: refused by name rather than changed.
        from.execute(TableLayout::special(),
                     u"UPDATE Table1 SET \"Enhance Process\" = x'00ff' WHERE ID = 2"_s);
        const QMap<QString, QByteArray> before = contents(csv.path());
        const Result refused = tool({u"export"_s, from.dir(), csv.path(), u"--force"_s});
        QCOMPARE(refused.code, 1);
        QVERIFY2(
            refused.err.contains(
                u"special.mdb, row 2, field \"Enhance Process\": the field holds binary data"_s),
            qPrintable(refused.err));
        QCOMPARE(contents(csv.path()), before);
    }

    // The round trip authors take most: export, edit in a spreadsheet, import.
    void spreadsheetSavedScriptImportsWithEmptyAsText()
    {
        QTemporaryDir tmp;
        const QString csv = tmp.filePath(u"csv"_s);
        const QString dir = tmp.filePath(u"new"_s);
        QCOMPARE(tool({u"sample"_s, tmp.filePath(u"sample"_s)}).code, 0);
        QCOMPARE(tool({u"export"_s, tmp.filePath(u"sample"_s), csv}).code, 0);
        for (const TableLayout* layout : TableLayout::all()) {
            const QString path = QDir(csv).filePath(layout->caption + u".csv"_s);
            writeFile(path, asSpreadsheetSaves(bytesOf(path)));
        }
        // The sample's vacant pairs have an empty second text, now an empty cell.
        QList<QVariantList> records;
        QList<int> lines;
        CsvReader::Failure failure;
        QVERIFY(CsvReader::parse(QString::fromUtf8(bytesOf(QDir(csv).filePath(u"double.csv"_s))),
                                 records, failure, &lines));
        qsizetype vacant = 1;
        while (!records.at(vacant).at(2).isNull())
            ++vacant;

        Result result = tool({u"import"_s, csv, dir});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.out.contains(
                     u"double.csv:%1:String #2: error: the field is null"_s.arg(lines.at(vacant))),
                 qPrintable(result.out));
        QVERIFY2(result.err.contains(u"--empty-as-text"_s), qPrintable(result.err));
        QCOMPARE(contents(dir), (QMap<QString, QByteArray>()));

        result = tool({u"import"_s, u"--empty-as-text"_s, csv, dir});
        QCOMPARE(result.code, 0);
        QCOMPARE(journalModes(dir), allWriteAheadLog);
        result = tool({u"check"_s, dir});
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out,
                 u"No errors or warnings in %1.\n"_s.arg(QDir::toNativeSeparators(dir)));
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

        Result result = tool({u"import"_s, csv, dir});
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
        QCOMPARE(journalModes(dir), allWriteAheadLog);
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

        Result result =
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

        const Result result = tool({u"import"_s, u"--force"_s, csv.path(), fx.dir()});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(u"special.mdb: the file is open in the program "
                                     u"tst_scripttool (process %1); close it"_s.arg(
                                         QCoreApplication::applicationPid())),
                 qPrintable(result.err));
        open.reset();
        writing.reset();
        QCOMPARE(snapshot(fx.dir()), before);
    }

    void failedWritesLeaveTheFolderAsItWas_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("import, file size limit") << u"import"_s << false;
        QTest::newRow("export, file size limit") << u"export"_s << false;
        QTest::newRow("import, full disk") << u"import"_s << true;
        QTest::newRow("export, full disk") << u"export"_s << true;
    }
    void failedWritesLeaveTheFolderAsItWas()
    {
        QFETCH(QString, command);
        QFETCH(bool, fullDisk);
        QTemporaryDir tmp;
        const QString script = tmp.filePath(u"script"_s);
        const QString csv = tmp.filePath(u"csv"_s);
        QCOMPARE(tool({u"sample"_s, script}).code, 0);
        QCOMPARE(tool({u"export"_s, script, csv}).code, 0);
        if (!fullDisk) {
            // Files past the size limit: a special table of some 200 kB.
            QFile special(QDir(csv).filePath(u"special.csv"_s));
            QVERIFY(special.open(QIODevice::Append));
            for (int i = 0; i < 2000; ++i)
                // NOLINTNEXTLINE(modernize-raw-string-literal): moc cannot read raw strings
                special.write("\"d\",\"" + QByteArray(100, 'q') +
                              "\",0,\"a\",\"b\",\"c\",\"d\"\r\n");
            special.close();
            QCOMPARE(tool({u"import"_s, u"--force"_s, csv, script}).code, 0);
        }
        const bool importing = command == u"import"_s;
        QString target = importing ? script : csv;
        SmallDisk disk(tmp.filePath(u"disk"_s));
        if (fullDisk) {
            if (!disk.mounted())
                QSKIP("no small file system can be mounted here to fill");
            const QString copy = tmp.filePath(u"disk/target"_s);
            QDir().mkpath(copy);
            for (const QString& name : QDir(target).entryList(QDir::Files))
                QVERIFY(QFile::copy(QDir(target).filePath(name), QDir(copy).filePath(name)));
            target = copy;
            disk.leave(importing ? 40 * 1024 : 8 * 1024);
        }
        const QMap<QString, QByteArray> before = contents(target);

        const QStringList args = importing ? QStringList{command, u"--force"_s, csv, target}
                                           : QStringList{command, u"--force"_s, script, target};
        const Result result = fullDisk ? tool(args) : toolWithSmallFiles(args);
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(QDir::toNativeSeparators(target) + u"/.veyrath-"_s) &&
                     result.err.contains(u"could not be written in this working folder"_s) &&
                     result.err.contains(u"were kept as they were"_s),
                 qPrintable(result.err));
        if (fullDisk)
            QVERIFY2(result.err.contains(u"the disk is full"_s), qPrintable(result.err));
        QCOMPARE(contents(target), before);
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
        const Result result = tool(QStringList{u"check"_s, fx.dir()} +
                                   (strict ? QStringList{u"--strict"_s} : QStringList{}));
        QCOMPARE(result.code, code);
        QCOMPARE(result.err, QString());
        const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        const QStringList expected = output.split(u'|');
        QVERIFY2(lines.first().startsWith(expected.first()), qPrintable(result.out));
        QCOMPARE(lines.last(),
                 u"%1 in %2."_s.arg(expected.last(), QDir::toNativeSeparators(fx.dir())));
    }

    void unreadableCsvIsNamed()
    {
        QTemporaryDir tmp;
        const QString csv = tmp.filePath(u"csv"_s);
        const QString dir = tmp.filePath(u"script"_s);
        QCOMPARE(tool({u"sample"_s, dir}).code, 0);
        QCOMPARE(tool({u"export"_s, dir, csv}).code, 0);

        QFile control(QDir(csv).filePath(u"control.csv"_s));
        writeFile(control.fileName(), "\"Description\",\"String\"\r\n\"d\",\"caf\xe9\"\r\n");
        Result result = tool({u"import"_s, csv, tmp.filePath(u"other"_s)});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(u"control.csv: line 2 is not UTF-8"_s),
                 qPrintable(result.err));

        QVERIFY(control.remove());
        result = tool({u"import"_s, csv, tmp.filePath(u"other"_s)});
        QVERIFY2(result.err.contains(u"control.csv: the file was not found"_s),
                 qPrintable(result.err));
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
        const Result result = tool(args);
        QCOMPARE(result.code, 2);
        QVERIFY(result.err.startsWith(u"veyrath-script: "_s));
    }
};

QTEST_GUILESS_MAIN(TestScriptTool)
#include "tst_scripttool.moc"
