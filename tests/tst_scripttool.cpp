#include "script/ScriptCheck.h"
#include "script/ScriptTable.h"
#include "tests/support/ScriptFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Result {
    int code = -1;
    QString err;
    QString out;
};

Result tool(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(VEYRATH_SCRIPT_TOOL), args);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        qFatal("veyrath-script did not finish");
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError()),
            QString::fromUtf8(process.readAllStandardOutput())};
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
        {
            QFile file(tmp.filePath(existing));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("the author's own");
        }
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
        QCOMPARE(tool({u"export"_s, from.dir(), csv.path()}).code, 0);
        QCOMPARE(tool({u"import"_s, csv.path(), to.dir()}).code, 0);

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
        QCOMPARE(tool({u"export"_s, from.dir(), csv.path()}).code, 1);
        QCOMPARE(tool({u"export"_s, from.dir(), csv.path(), u"--force"_s}).code, 0);
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
        QVERIFY2(result.err.contains(u"special.csv, row 9, field \"Yes\": \"some\" is not a whole "
                                     u"number"_s),
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
    }

    void unreadableCsvIsNamed()
    {
        QTemporaryDir tmp;
        const QString csv = tmp.filePath(u"csv"_s);
        const QString dir = tmp.filePath(u"script"_s);
        QCOMPARE(tool({u"sample"_s, dir}).code, 0);
        QCOMPARE(tool({u"export"_s, dir, csv}).code, 0);

        QFile control(QDir(csv).filePath(u"control.csv"_s));
        QVERIFY(control.open(QIODevice::WriteOnly | QIODevice::Truncate));
        control.write("\"Description\",\"String\"\r\n\"d\",\"caf\xe9\"\r\n");
        control.close();
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
