// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Counts confirmations of the first special case, as the runner does on each Yes, so that a
// test can race it against another program's edits from a process of its own.
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/SpecialCases.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    try {
        SpecialCases cases(
            ScriptTable::open(QString::fromLocal8Bit(argv[1]), TableLayout::special()));
        const int times = QByteArray(argv[2]).toInt();
        for (int i = 0; i < times; ++i)
            cases.countConfirmation();
    } catch (const ScriptError& error) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error.message()));
        return 1;
    }
    return 0;
}
