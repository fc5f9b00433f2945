// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bench/LargeScript.h"
#include "editor/Form1.h"
#include "editor/commands/CellFinder.h"
#include "editor/commands/EditMenu.h"
#include "script/ScriptTable.h"
#include "windowkit/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
int rows = 100000;

// The slowest of a few runs from the first tab's first cell, so that every file is searched.
void measure(Form1& form, const char* title, const CellSearch::Options& options)
{
    CellFinder* finder = form.editing()->finder();
    finder->setOptions(options);
    qint64 slowest = 0;
    bool found = false;
    for (int run = 0; run < 5; ++run) {
        form.goToCell(Tab::Basic, 0, 0);
        QElapsedTimer clock;
        clock.start();
        found = finder->findNext();
        slowest = std::max(slowest, clock.elapsed());
    }
    std::printf("find %s: %lld ms (%s)\n", title, slowest, found ? "found" : "not found");
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1)
        rows = QByteArray(argv[1]).toInt();
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    buildLargeScript(dir.path(), rows);
    PrintedDialogs dialogs;
    Form1 form(dialogs, dir.path());
    form.show();
    QCoreApplication::processEvents();
    std::printf("find over all tabs, %d special rows, slowest of 5:\n", rows);
    const QString last = u"4th Question (Input) %1"_s.arg(rows);
    measure(form, "the last special row", {last, false, false});
    measure(form, "the last special row, whole cell, match case", {last, true, true});
    measure(form, "a text in no row", {u"nowhere at all"_s, false, false});
    measure(form, "a text in no row, not ASCII", {u"\u00e9t\u00e9"_s, false, false});
    form.goToCell(Tab::Special, 0, 0);
    measure(form, "a text in every row", {u"question"_s, false, false});
    // Sorted by count, the grid's order is no longer the database's.
    form.sortRecords();
    std::printf("after Sort:\n");
    measure(form, "the last special row", {last, false, false});
    form.goToCell(Tab::Special, 0, 0);
    measure(form, "a text in every row", {u"question"_s, false, false});
    // One field of every special row, as one step, and back.
    CellFinder* finder = form.editing()->finder();
    finder->setOptions({u"Enhance"_s, false, false});
    QElapsedTimer replace;
    replace.start();
    const int replaced = finder->replaceAll(u"Improve"_s);
    std::printf("Replace All: %d fields in %lld ms\n", replaced, replace.elapsed());
    replace.restart();
    form.findChild<QAction*>(u"MNU_UNDO"_s)->trigger();
    std::printf("its undo: %lld ms\n", replace.elapsed());
    form.close();
    return 0;
}
