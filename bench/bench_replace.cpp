// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Replace All and its undo over a large special-case script in the editor's window, beside a
// second process that keeps asking for the write lock and counts Yes replies through the
// runner's own code, as a runner beside the editor does: how long each takes, the longest the
// other connection waited for the file, the longest the window went without handling its
// events, whether every count was made, and the memory the process holds before and after.
// Beside them, SQLite's own UPDATE ... replace() over the same field of a copy of the file.
#include "bench/GapWatch.h"
#include "bench/LargeScript.h"
#include "bench/ProcessMemory.h"
#include "editor/Form1.h"
#include "editor/commands/CellFinder.h"
#include "editor/commands/EditMenu.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/SpecialCases.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace {
// The other program, in a process of its own: takes the write lock and lets it go at once,
// then counts a Yes, again and again, until the stop file appears; then prints the longest
// either waited in microseconds, the counts made and the counts that failed.
int otherProgram(const QString& dir, const QString& stopFile)
{
    qint64 longestUs = 0;
    int counted = 0;
    int failed = 0;
    try {
        auto table = ScriptTable::open(dir, TableLayout::special());
        SpecialCases cases(ScriptTable::open(dir, TableLayout::special()));
        std::printf("ready\n");
        std::fflush(stdout);
        while (!QFile::exists(stopFile)) {
            QElapsedTimer wait;
            wait.start();
            table->writeTransaction([] {});
            longestUs = std::max<qint64>(longestUs, wait.nsecsElapsed() / 1000);
            try {
                // A count waits for the lock as the empty transaction does.
                wait.start();
                cases.countConfirmation();
                longestUs = std::max<qint64>(longestUs, wait.nsecsElapsed() / 1000);
                ++counted;
            } catch (const ScriptError& error) {
                ++failed;
                std::fprintf(stderr, "%s\n", qUtf8Printable(error.message()));
            }
            // At no fixed beat, so that the editor's steps are met at every point of their own.
            std::this_thread::sleep_for(std::chrono::milliseconds(1 + counted % 13));
        }
    } catch (const ScriptError& error) {
        ++failed;
        std::fprintf(stderr, "%s\n", qUtf8Printable(error.message()));
    }
    std::printf("%lld %d %d\n", longestUs, counted, failed);
    return 0;
}

// Runs the other program beside this one for as long as it lives.
class OtherProgram {
public:
    explicit OtherProgram(const QString& dir)
        : m_stopFile(dir + u"/.stop"_s)
    {
        QFile::remove(m_stopFile);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(), {u"--other"_s, dir, m_stopFile});
        m_ready = m_process.waitForReadyRead(10000) && !m_process.readLine().isEmpty();
    }
    ~OtherProgram() { stop(); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        QFile(m_stopFile).open(QIODevice::WriteOnly);
        m_process.waitForFinished(30000);
        const QList<QByteArray> words = m_process.readAll().trimmed().split(' ');
        m_longestWaitMs = words.value(0).toLongLong() / 1000;
        m_counted = words.value(1).toInt();
        m_failed = words.value(2).toInt();
        QFile::remove(m_stopFile);
    }
    // Whether it started and said it was counting.
    bool ready() const { return m_ready; }
    qint64 longestWaitMs() const { return m_longestWaitMs; }
    int counted() const { return m_counted; }
    int failed() const { return m_failed; }

private:
    QString m_stopFile;
    QProcess m_process;
    bool m_ready = false;
    qint64 m_longestWaitMs = 0;
    int m_counted = 0;
    int m_failed = 0;
};

} // namespace

// bench_replace [ROWS]
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && QByteArray(argv[1]) == "--other") {
        QCoreApplication app(argc, argv);
        return otherProgram(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    QTemporaryDir copy;
    if (!dir.isValid() || !copy.isValid())
        return 1;
    buildLargeScript(dir.path(), rows);
    for (const TableLayout* layout : TableLayout::all())
        QFile::copy(ScriptTable::pathIn(dir.path(), *layout),
                    ScriptTable::pathIn(copy.path(), *layout));

    PrintedDialogs dialogs;
    Form1 form(dialogs, dir.path());
    form.show();
    QCoreApplication::processEvents();
    form.model(Tab::Special)->completeRows();
    QCoreApplication::processEvents();
    CellFinder* finder = form.editing()->finder();
    finder->setOptions({u"Enhance"_s, false, false});
    const qint64 beforeKb = processMemoryKb("VmRSS");

    std::printf("Replace All over %d special rows in the editor, beside another program taking "
                "the write lock and counting a Yes every few milliseconds:\n\n",
                rows);
    std::printf("| step | time | longest lock hold | longest gap between events | Yes counted "
                "meanwhile | memory held since before |\n");
    std::printf("|---|---|---|---|---|---|\n");
    // One step beside the other program; false when a count was not made meanwhile.
    const auto step = [&](const std::function<QString()>& action) {
        OtherProgram other(dir.path());
        GapWatch gaps;
        QElapsedTimer clock;
        clock.start();
        const QString what = action();
        const qint64 ms = clock.elapsed();
        // Read before the other program is stopped, which the window waits for.
        const qint64 longestGapMs = gaps.longestMs();
        other.stop();
        std::printf("| %s | %lld ms | %lld ms | %lld ms | %d of %d | %+.1f MiB |\n",
                    qPrintable(what), ms, other.longestWaitMs(), longestGapMs, other.counted(),
                    other.counted() + other.failed(),
                    double(processMemoryKb("VmRSS") - beforeKb) / 1024.0);
        return other.ready() && other.failed() == 0;
    };
    int fields = 0;
    bool counted = step([&] {
        fields = finder->replaceAll(u"Improve"_s);
        return u"Replace All (%1 fields)"_s.arg(fields);
    });
    counted = step([&] {
                  form.findChild<QAction*>(u"MNU_UNDO"_s)->trigger();
                  return u"its undo"_s;
              }) &&
              counted;
    {
        // The yardstick: the same change as one statement of SQLite's own, which holds the
        // file for all of its time.
        auto table = ScriptTable::open(copy.path(), TableLayout::special());
        QElapsedTimer clock;
        clock.start();
        table->exec(u"UPDATE Table1 SET \"Enhance Process\" = "
                    u"replace(\"Enhance Process\", 'Enhance', 'Improve')"_s);
        const qint64 ms = clock.elapsed();
        std::printf("| SQLite's own UPDATE ... replace() | %lld ms | %lld ms | | | |\n", ms, ms);
    }
    form.close();
    return fields == rows && counted ? 0 : 1;
}
