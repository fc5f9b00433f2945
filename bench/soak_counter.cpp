// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Counts Yes replies on the special cases in turn, through the runner's own counting code, as
// the runner does beside the editor, pausing between counts as a person pauses between replies
// (far shorter here, or none). Prints what it counted and what failed, as "counted N locked L
// failed F".
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/SpecialCases.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const int times = QByteArray(argv[2]).toInt();
    const unsigned long pauseUs = QByteArray(argv[3]).toULong();
    int counted = 0;
    int locked = 0;
    int failed = 0;
    try {
        auto table = ScriptTable::open(QString::fromLocal8Bit(argv[1]), TableLayout::special());
        table->keepCallerResponsive(); // as the runner's window keeps its statements
        SpecialCases cases(std::move(table));
        std::printf("ready\n");
        std::fflush(stdout);
        for (int i = 0; i < times; ++i) {
            if (cases.atEnd())
                cases.moveFirst();
            try {
                cases.countConfirmation();
                ++counted;
            } catch (const ScriptError& error) {
                ++(error.reason().contains(QStringLiteral("locked")) ? locked : failed);
                std::fprintf(stderr, "%s\n", qUtf8Printable(error.message()));
            }
            cases.moveNext();
            QThread::usleep(pauseUs);
        }
    } catch (const ScriptError& error) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error.message()));
        return 1;
    }
    std::printf("counted %d locked %d failed %d\n", counted, locked, failed);
    return 0;
}
