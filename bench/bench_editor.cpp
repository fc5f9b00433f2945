// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bench/GapWatch.h"
#include "bench/LargeScript.h"
#include "bench/PaintedThenGone.h"
#include "bench/ProcessMemory.h"
#include "editor/Form1.h"
#include "editor/commands/CellFinder.h"
#include "editor/commands/EditMenu.h"
#include "editor/commands/SpeakCommand.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptTable.h"
#include "voice/SpeechVoice.h"
#include "windowkit/AfterFirstPaint.h"
#include "windowkit/Dialogs.h"
#include "windowkit/QtDialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace Qt::Literals::StringLiterals;

namespace {
// Special rows to build; the first argument changes it.
int rows = 100000;

// Stops the clock at the grid's first paint.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QElapsedTimer& clock)
        : m_clock(clock)
    {
    }
    qint64 elapsed = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && elapsed < 0)
            elapsed = m_clock.elapsed();
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer& m_clock;
};

// The editor's start-up, as its main() does it, ending at the first paint of the special
// grid.
int openAndPaint(const QString& dir)
{
    QApplication::setApplicationName(u"veyrath-editor"_s);
    QApplication::setApplicationDisplayName(u"Edit the Veyrath"_s);
    SpeechVoice voice;
    QtDialogs dialogs;
    Form1 form(dialogs, dir);
    SpeakCommand speak(form, voice);
    PaintedThenGone painted;
    if (form.grid(Tab::Special))
        form.grid(Tab::Special)->viewport()->installEventFilter(&painted);
    form.show();
    AfterFirstPaint::run(form, [&voice] {
        voice.start();
        QApplication::setWindowIcon(QIcon(u":/icons/veyrath-editor.png"_s));
    });
    return QApplication::exec();
}

// Milliseconds from starting `program` to its saying "painted"; -1 when it never does.
qint64 timeToPaint(const QString& program, const QStringList& arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(program, arguments);
    while (child.waitForReadyRead(30000)) {
        if (child.readAll().contains("painted"))
            break;
    }
    const qint64 elapsed = clock.elapsed();
    child.waitForFinished(30000);
    return child.exitCode() == 0 ? elapsed : -1;
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

// A bare Qt window and the editor on the large script, started in turn, each until its first
// picture, so that a busy spell of the machine slows both alike.
int compareStartUp(int runs)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    buildLargeScript(dir.path(), rows);
    const QString here = QCoreApplication::applicationDirPath();
    QList<qint64> bare;
    QList<qint64> editor;
    for (int run = 0; run < runs; ++run) {
        bare << timeToPaint(here + u"/bench_bare"_s, {u"--until-painted"_s});
        editor << timeToPaint(QCoreApplication::applicationFilePath(), {u"--open"_s, dir.path()});
    }
    if (bare.contains(-1) || editor.contains(-1)) {
        std::printf("a start-up did not reach its first paint\n");
        return 1;
    }
    std::printf("to the first paint, median of %d runs in turn: bare window %lld ms, editor on "
                "%d special rows %lld ms, ratio %.2f\n",
                runs, median(bare), rows, median(editor),
                double(median(editor)) / double(median(bare)));
    return 0;
}
// One thing an author does on the script in `dir`, timed alone once the window shows and the
// file is read: find the last special row's last field from the first tab, sort, Replace All
// of a word in one field of every special row, or its undo. Prints "ms N" for the figure
// scripts/bench-at-scale sets beside its yardstick, with the processor time of the step in
// every thread of the program as "cpu N".
int timeOne(const QByteArray& what, const QString& dir)
{
    PrintedDialogs dialogs;
    Form1 form(dialogs, dir);
    form.show();
    RecordModel* special = form.model(Tab::Special);
    if (!special)
        return 1;
    while (!special->rows().isComplete())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    CellFinder* finder = form.editing()->finder();
    finder->setOptions({u"Enhance"_s, false, false});
    if (what == "undo")
        finder->replaceAll(u"Improve"_s);
    if (what == "find") {
        const QModelIndex last =
            special->index(special->rowCount() - 1, special->columnCount() - 1);
        finder->setOptions({last.data().toString(), false, false});
        form.goToCell(Tab::Basic, 0, 0);
    }
    QElapsedTimer clock;
    clock.start();
    const std::clock_t processor = std::clock();
    if (what == "find") {
        if (!finder->findNext())
            return 1;
    } else if (what == "sort") {
        form.findChild<QPushButton*>(u"Command4"_s)->click();
    } else if (what == "replace") {
        finder->replaceAll(u"Improve"_s);
    } else if (what == "undo") {
        form.findChild<QAction*>(u"MNU_UNDO"_s)->trigger();
    } else {
        return 2;
    }
    const qint64 elapsed = clock.elapsed();
    std::printf("ms %lld cpu %lld\n", elapsed,
                qint64(std::clock() - processor) * 1000 / CLOCKS_PER_SEC);
    form.close();
    return 0;
}
} // namespace

// bench_editor [ROWS]: first paint, scrolling, sort and memory in this process.
// bench_editor --startup [RUNS]: the editor's start-up to its painted grid against a bare window.
// bench_editor --make DIR: writes the benchmark's script into DIR, for a look by hand.
// bench_editor --do find|sort|replace|undo DIR: times that alone on the script in DIR.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QByteArray first = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (first == "--open" && argc > 2)
        return openAndPaint(QString::fromLocal8Bit(argv[2]));
    if (first == "--make" && argc > 2) {
        buildLargeScript(QString::fromLocal8Bit(argv[2]), rows);
        return 0;
    }
    if (first == "--do" && argc > 3)
        return timeOne(QByteArray(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (first == "--startup")
        return compareStartUp(argc > 2 ? QByteArray(argv[2]).toInt() : 15);
    if (argc > 1)
        rows = first.toInt();
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    QElapsedTimer build;
    build.start();
    buildLargeScript(dir.path(), rows);
    std::printf("built %d special rows in %lld ms\n", rows, build.elapsed());

    QElapsedTimer clock;
    clock.start();
    PrintedDialogs dialogs;
    Form1 form(dialogs, dir.path());
    FirstPaint paint(clock);
    form.grid(Tab::Special)->viewport()->installEventFilter(&paint);
    form.show();
    while (paint.elapsed < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("first paint of the special grid: %lld ms\n", paint.elapsed);
    {
        // What the editor reads of a large file once it shows, on a thread of its own, while
        // the window goes on taking every key and click.
        const GapWatch gaps;
        QElapsedTimer rest;
        rest.start();
        while (!form.model(Tab::Special)->rows().isComplete())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        std::printf("the rest of the row list and the check for damage, read after the first "
                    "paint: %lld ms; the window's longest gap between events meanwhile: %lld ms\n",
                    rest.elapsed(), gaps.longestMs());
    }
    const qint64 openedKb = processMemoryKb("VmHWM");

    // Page through the whole table as an author dragging the scroll bar would.
    QScrollBar* bar = form.grid(Tab::Special)->verticalScrollBar();
    QElapsedTimer scroll;
    scroll.start();
    for (int value = 0; value <= bar->maximum(); value += 5 * bar->pageStep()) {
        bar->setValue(value);
        form.grid(Tab::Special)->viewport()->repaint();
    }
    std::printf("scrolled all %d rows in %lld ms (%d cached pages)\n", rows, scroll.elapsed(),
                form.model(Tab::Special)->rows().cachedPages());

    QElapsedTimer sort;
    sort.start();
    form.findChild<QPushButton*>(u"Command4"_s)->click();
    std::printf("sort: %lld ms\n", sort.elapsed());
    std::printf("peak resident memory: %lld kB after opening, %lld kB at the end\n", openedKb,
                processMemoryKb("VmHWM"));
    form.close();
    return 0;
}
