#pragma once

#include "script/ScriptFinding.h"

#include <QList>
#include <QString>

// The work behind each subcommand of veyrath-script. Every fault is thrown as ScriptError;
// the words for the user are chosen in main.
class ScriptCommands {
public:
    // The four files, empty. Refuses when any of them exists.
    static void init(const QString& dir);
    // The four files holding the bundled sample script. Refuses when any of them exists.
    static void sample(const QString& dir);
    // The four tables as basic.csv, control.csv, double.csv and special.csv in `out`.
    static void exportCsv(const QString& dir, const QString& out, bool replace);
    // The four files built from those CSV files in `source`; returns how many rows came in.
    static int importCsv(const QString& source, const QString& dir, bool replace);

    static QString csvName(const QString& caption) { return caption + QStringLiteral(".csv"); }
};
