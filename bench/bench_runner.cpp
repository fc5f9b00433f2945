// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Measures the runner's own work: loading a full script, counting a Yes into the file, and
// the processor time a ten-second pause costs. Prints one line per figure.
#include "clock/SystemClock.h"
#include "engine/Conversation.h"
#include "runner/LineDisplay.h"
#include "script/ScriptTable.h"
#include "script/SpecialCases.h"
#include "tests/support/FakeStage.h"
#include "tests/support/ScriptFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

namespace {
double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const double pauseSeconds = argc > 1 ? QByteArray(argv[1]).toDouble() : 10.0;
    ScriptFixture fx;
    fx.createFullScript();

    QList<double> loads;
    for (int run = 0; run < 21; ++run) {
        FakeStage stage;
        Conversation conversation(stage, stage, stage, stage, fx.dir());
        conversation.Form_Load();
        QElapsedTimer timer;
        timer.start();
        conversation.LoadData();
        loads << double(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("LoadData, full script (22+60+100 rows): %.2f ms (median of 21)\n", median(loads));

    SpecialCases cases(ScriptTable::open(fx.dir(), TableLayout::special()));
    QList<double> counts;
    for (int run = 0; run < 201; ++run) {
        QElapsedTimer timer;
        timer.start();
        cases.countConfirmation();
        counts << double(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("Yes count written and committed: %.2f ms (median of 201)\n", median(counts));

    // A huge line from another tool: the display must stay responsive with any line.
    LineDisplay display;
    display.setFont(QFont(u"DejaVu Sans"_s, 12, QFont::Bold));
    display.resize(273, 89);
    display.show();
    QList<double> paints;
    for (int run = 0; run < 5; ++run) {
        display.setText(QString((1 << 20) + run, u'W'));
        QElapsedTimer timer;
        timer.start();
        (void)display.grab();
        paints << double(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("A 1 MB line without blanks laid out and painted: %.1f ms (median of 5)\n",
                median(paints));

    // The pause as the runner waits: a shown window, a nested event loop, the real clock.
    QWidget window;
    window.show();
    SystemClock clock;
    const double cpuBefore = cpuSeconds();
    const double start = clock.monotonicSeconds();
    clock.waitUntil(start + pauseSeconds);
    const double wall = clock.monotonicSeconds() - start;
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("Pause of %.0f s: %.3f s of processor time, %.3f %% of the wall time\n", wall, cpu,
                100.0 * cpu / wall);
    return 0;
}
