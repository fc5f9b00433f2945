// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptTable.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/ToolRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace Qt::Literals::StringLiterals;

// The runner counts a Yes in one committed statement; a process killed at any moment must
// leave every file sound and every count grown only by whole replies, and an editor saving
// beside it loses neither its edits nor the counts. The tool builds its files aside; a write
// that fails on the way must leave the target as it was.
class TestCrashSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWhileCountingLosesNothingButTheReplyInFlight()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        const QVariantList textsBefore = fx.column(TableLayout::special(), u"Description"_s);
        qint64 previous = 0;
        for (int round = 0; round < 100; ++round) {
            QProcess counter;
            counter.start(QStringLiteral(SPECIAL_COUNTER), {fx.dir(), u"1000000"_s});
            QVERIFY(counter.waitForStarted());
            QTest::qSleep(int(QRandomGenerator::global()->bounded(5, 60)));
            ::kill(pid_t(counter.processId()), SIGKILL);
            QVERIFY(counter.waitForFinished());

            QCOMPARE(fx.integrity(TableLayout::special()), u"ok"_s);
            const QVariant count = fx.column(TableLayout::special(), u"Yes"_s).constFirst();
            QCOMPARE(count.typeId(), QMetaType::LongLong);
            QVERIFY2(
                count.toLongLong() >= previous,
                qPrintable(u"count fell from %1 to %2"_s.arg(previous).arg(count.toLongLong())));
            previous = count.toLongLong();
        }
        // A counter left to finish adds exactly its replies to whatever the killed ones left.
        QProcess counter;
        counter.start(QStringLiteral(SPECIAL_COUNTER), {fx.dir(), u"10"_s});
        QVERIFY(counter.waitForFinished(60000));
        QCOMPARE(counter.exitCode(), 0);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).constFirst().toLongLong(),
                 previous + 10);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s), textsBefore);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).mid(1), (QVariantList{0, 0}));
    }

    void countsAndEditsFromTwoProgramsAllArrive()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        constexpr int counts = 300;
        QProcess counter;
        counter.start(QStringLiteral(SPECIAL_COUNTER), {fx.dir(), QString::number(counts)});
        QVERIFY(counter.waitForStarted());

        // Meanwhile an editor saves the texts of the same rows again and again.
        auto editor = ScriptTable::open(fx.dir(), TableLayout::special());
        int edits = 0;
        while (counter.state() != QProcess::NotRunning || edits < 50) {
            ++edits;
            editor->writeTransaction([&] {
                editor->exec(u"UPDATE Table1 SET Description = ?, \"Enhance Process\" = ? "
                             u"WHERE ID = ?"_s,
                             {u"edit %1"_s.arg(edits), u"prompt %1"_s.arg(edits), 1 + edits % 3});
            });
            counter.waitForFinished(1);
        }
        QCOMPARE(counter.exitStatus(), QProcess::NormalExit);
        QCOMPARE(counter.exitCode(), 0);
        QCOMPARE(counter.readAllStandardError(), QByteArray());
        const QVariantList yes = fx.column(TableLayout::special(), u"Yes"_s);
        QCOMPARE(yes.first().toInt(), counts);
        const int last = 1 + edits % 3;
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(last - 1).toString(),
                 u"edit %1"_s.arg(edits));
    }

    void failedWritesLeaveTheFolderAsItWas_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<bool>("newFolder"); // the target does not exist yet
        QTest::newRow("import, file size limit") << u"import"_s << false << false;
        QTest::newRow("export, file size limit") << u"export"_s << false << false;
        QTest::newRow("export to a spreadsheet, file size limit")
            << u"export --xlsx"_s << false << false;
        QTest::newRow("import, full disk") << u"import"_s << true << false;
        QTest::newRow("export, full disk") << u"export"_s << true << false;
        QTest::newRow("import into a new folder") << u"import"_s << false << true;
        QTest::newRow("export into a new folder") << u"export"_s << false << true;
        QTest::newRow("sample into a new folder") << u"sample"_s << false << true;
        QTest::newRow("sample into a new folder, full disk") << u"sample"_s << true << true;
    }
    void failedWritesLeaveTheFolderAsItWas()
    {
        QFETCH(QString, command);
        QFETCH(bool, fullDisk);
        QFETCH(bool, newFolder);
        QTemporaryDir tmp;
        const QString script = tmp.filePath(u"script"_s);
        const QString csv = tmp.filePath(u"csv"_s);
        QCOMPARE(ToolRun::tool({u"sample"_s, script}).code, 0);
        QCOMPARE(ToolRun::tool({u"export"_s, script, csv}).code, 0);
        if (!fullDisk && command != u"sample"_s) {
            // Files past the size limit: a special table of some 200 kB.
            QFile special(QDir(csv).filePath(u"special.csv"_s));
            QVERIFY(special.open(QIODevice::Append));
            for (int i = 0; i < 2000; ++i)
                // NOLINTNEXTLINE(modernize-raw-string-literal): moc cannot read raw strings
                special.write("\"d\",\"" + QByteArray(100, 'q') +
                              "\",0,\"a\",\"b\",\"c\",\"d\"\r\n");
            special.close();
            QCOMPARE(ToolRun::tool({u"import"_s, u"--force"_s, csv, script}).code, 0);
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
        if (newFolder)
            target = QDir(target).filePath(u"new/folder"_s);
        const QString parent = QFileInfo(target).path();
        const QMap<QString, QByteArray> before = contents(newFolder ? parent : target);

        QStringList args = command.split(u' ');
        if (command == u"sample"_s)
            args << target;
        else
            args << u"--force"_s << (importing ? csv : script)
                 << (args.contains(u"--xlsx"_s) ? QDir(target).filePath(u"script.xlsx"_s) : target);
        const ToolRun result =
            fullDisk ? ToolRun::tool(args)
                     : ToolRun::toolWithSmallFiles(args, command == u"sample"_s ? 8 : 64);
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(QDir::toNativeSeparators(target) + u"/.veyrath-"_s) &&
                     result.err.contains(u"could not be written in this working folder"_s) &&
                     result.err.contains(newFolder ? u"made for the new files, is removed again"_s
                                                   : u"were kept as they were"_s),
                 qPrintable(result.err));
        if (fullDisk)
            QVERIFY2(result.err.contains(u"the disk is full"_s), qPrintable(result.err));
        // A folder made for the new files goes with them.
        QCOMPARE(contents(newFolder ? parent : target), before);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
