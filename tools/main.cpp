// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/NativePath.h"
#include "script/ScriptCheck.h"
#include "script/ScriptError.h"
#include "script/ScriptLocation.h"
#include "tools/ScriptCommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

enum ExitCode { Ok = 0, Failed = 1, Usage = 2 };

// Findings and their summary are the tool's output; its own faults and its reports on what
// it did go to standard error.
QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

const QString commandsHelp =
    u"Commands:\n"
    u"  init DIR             create the four script files, every line there to fill\n"
    u"  sample DIR           create them holding the bundled sample script\n"
    u"  check [DIR]          report what would go wrong in a run (default: .)\n"
    u"  export DIR OUT       write the four tables as CSV files into OUT\n"
    u"  export --xlsx DIR FILE\n"
    u"                       write them as the four sheets of one spreadsheet file\n"
    u"  import SRC DIR       build the script files from the CSV files in the folder\n"
    u"                       SRC, or from the sheets of the spreadsheet file SRC\n"
    u"\n"
    u"\n"
    u"DIR is a folder, or a PostgreSQL address (postgresql://author@host/museum)\n"
    u"for a script held by a server; left out, it is what --script or\n"
    u"VEYRATH_SCRIPT names. No command replaces an existing file or table unless\n"
    u"--force is given (import and export only). Exit status: 0 done (check: no\n"
    u"errors), 1 failed or refused (check: errors found), 2 usage error or missing\n"
    u"folder."_s;

struct Options {
    bool force = false;
    bool strict = false;
    bool emptyAsText = false;
    bool allowErrors = false;
    bool bom = false;
    bool xlsx = false;
    std::optional<QString> only;
    // What --script names, or else VEYRATH_SCRIPT; `named` when --script itself was given.
    std::optional<QString> script;
    bool named = false;
};

int usage(const QString& problem)
{
    err() << "veyrath-script: " << problem << "\nTry 'veyrath-script --help'.\n";
    return Usage;
}

bool isFolder(const QString& path)
{
    return QFileInfo(path).isDir();
}

// Where a script is, as messages name it: the folder, or the server's address without its
// password.
QString shown(const QString& script)
{
    return ScriptLocation::isServer(script) ? ScriptLocation::parse(script).shown()
                                            : nativePath(script);
}

// The four files, or a server script's four tables.
QString theTables(const QString& script)
{
    return ScriptLocation::isServer(script)
               ? u"the tables basic, control, double and special"_s
               : u"basic.mdb, control.mdb, double.mdb and special.mdb"_s;
}

QString counted(qsizetype n, const QString& one, const QString& many)
{
    return u"%1 %2"_s.arg(n).arg(n == 1 ? one : many);
}

// Prints each finding on a line of its own as soon as it is found, however many there are.
void print(const ScriptFinding& finding)
{
    out() << finding.message() << '\n';
}

void summarize(qsizetype errors, qsizetype warnings, const QString& where)
{
    out() << ScriptCheck::summary(errors, warnings, where) << '\n';
    out().flush();
}

int check(const QString& dir, bool strict)
{
    qsizetype errors = 0;
    qsizetype warnings = 0;
    ScriptCheck::run(dir, TableLayout::all(), [&](const ScriptFinding& finding) {
        print(finding);
        ++(finding.isError() ? errors : warnings);
    });
    summarize(errors, warnings, ScriptLocation::whereShown(dir));
    return errors > 0 || (strict && warnings > 0) ? Failed : Ok;
}

// The tables named in --only, in the usual order; empty with `problem` set when one is unknown.
QList<const TableLayout*> tablesNamed(const std::optional<QString>& list, QString& problem)
{
    if (!list)
        return TableLayout::all();
    const QStringList names = list->split(u',', Qt::SkipEmptyParts);
    QList<const TableLayout*> tables;
    for (const TableLayout* layout : TableLayout::all()) {
        if (names.contains(layout->caption))
            tables << layout;
    }
    for (const QString& name : names) {
        if (std::none_of(tables.cbegin(), tables.cend(),
                         [&](const TableLayout* t) { return t->caption == name; }))
            problem =
                u"--only: there is no table '%1' (basic, control, double, special)"_s.arg(name);
    }
    return problem.isEmpty() && !tables.isEmpty() ? tables : QList<const TableLayout*>{};
}

int importScript(const QString& source, bool spreadsheet, const QString& dir,
                 const Options& options)
{
    ScriptCommands::ImportOptions import;
    import.spreadsheet = spreadsheet;
    QString problem;
    import.tables = tablesNamed(options.only, problem);
    if (import.tables.isEmpty())
        return usage(problem.isEmpty() ? u"--only needs the tables to import"_s : problem);
    import.replace = options.force;
    import.allowErrors = options.allowErrors;
    import.records.emptyAsText = options.emptyAsText;
    import.findings = print;

    const ScriptCommands::ImportReport done = ScriptCommands::importScript(source, dir, import);
    const qsizetype errors = done.errors;
    summarize(errors, done.warnings, u"the imported files"_s);
    QStringList files;
    for (const TableLayout* layout : std::as_const(import.tables))
        files << (ScriptLocation::isServer(dir) ? layout->caption : layout->fileName);
    if (!done.imported) {
        err() << "veyrath-script: the imported script has "
              << counted(errors, u"error"_s, u"errors"_s)
              << " that stop the runner, told above by file and line; nothing was written in "
              << shown(dir)
              << ". Mend them, or import with --allow-errors to take them all the "
                 "same.\n";
        if (done.nullLines > 0)
            err() << "veyrath-script: "
                  << counted(done.nullLines, u"line field"_s, u"line fields"_s)
                  << " came in as null from empty unquoted fields, as a spreadsheet saves empty "
                     "cells; --empty-as-text reads them as empty texts.\n";
        return Failed;
    }
    const QString special =
        ScriptLocation::isServer(dir) ? u"special table"_s : TableLayout::special().fileName;
    err() << "Imported " << done.rows << " rows into " << shown(dir) << " (" << files.join(u", "_s)
          << ").\n";
    if (done.countsBefore)
        err() << "The " << special << " replaced held " << *done.countsBefore
              << " counted Yes replies; the new one holds " << done.countsAfter.value_or(0)
              << ".\n";
    else if (!done.countsUnread.isEmpty())
        err() << "The Yes counts of the " << special << " replaced could not be read ("
              << done.countsUnread << ").\n";
    return Ok;
}

int run(const QString& command, const QStringList& args, const Options& options)
{
    const auto arity = [&](qsizetype least, qsizetype most) {
        return args.size() >= least && args.size() <= most;
    };
    const bool isImport = command == u"import"_s;
    const bool isExport = command == u"export"_s;
    const struct {
        bool given;
        QString option;
        QString commands;
        bool applies;
    } rules[] = {
        {options.force, u"--force"_s, u"import and export"_s, isImport || isExport},
        {options.strict, u"--strict"_s, u"check"_s, command == u"check"_s},
        {options.only.has_value(), u"--only"_s, u"import"_s, isImport},
        {options.emptyAsText, u"--empty-as-text"_s, u"import"_s, isImport},
        {options.allowErrors, u"--allow-errors"_s, u"import"_s, isImport},
        {options.bom, u"--bom"_s, u"export to CSV"_s, isExport && !options.xlsx},
        {options.xlsx, u"--xlsx"_s, u"export and import"_s, isImport || isExport},
    };
    for (const auto& rule : rules) {
        if (rule.given && !rule.applies)
            return usage(u"%1 applies to %2 only"_s.arg(rule.option, rule.commands));
    }

    // The script is DIR, at `index` among all `count` of the command's arguments, or else what
    // --script or VEYRATH_SCRIPT names; named by --script as well, it is named once too often.
    struct Script {
        std::optional<QString> dir;
        bool twice = false;
    };
    const auto scriptAt = [&](qsizetype index, qsizetype count) {
        return args.size() == count ? Script{args.at(index), options.named}
                                    : Script{options.script, false};
    };
    const QString twice = u"the script is named both by --script and as DIR"_s;
    // A server's address that cannot be meant is a usage error, as a missing folder is.
    const auto unusable = [](const QString& dir, bool mustBeThere) -> std::optional<int> {
        if (ScriptLocation::isServer(dir)) {
            try {
                ScriptLocation::parse(dir);
            } catch (const ScriptError& error) {
                return usage(error.message());
            }
            return std::nullopt;
        }
        if (mustBeThere && !isFolder(dir))
            return usage(u"%1: the folder was not found"_s.arg(nativePath(dir)));
        return std::nullopt;
    };

    if (command == u"init"_s || command == u"sample"_s) {
        if (!arity(0, 1))
            return usage(u"%1 needs one folder"_s.arg(command));
        const auto [dir, named] = scriptAt(0, 1);
        if (!dir || named)
            return usage(named ? twice : u"%1 needs one folder"_s.arg(command));
        if (const auto status = unusable(*dir, false))
            return *status;
        if (command == u"init"_s)
            ScriptCommands::init(*dir);
        else
            ScriptCommands::sample(*dir);
        err() << "Created " << theTables(*dir) << " in " << shown(*dir) << ".\n";
        if (command == u"init"_s)
            err() << "Every line the runner reads is there, empty, with a note on what it is "
                     "for. Fill them in the editor (veyrath-editor, started in that folder or "
                     "with --script) or through export and import; 'veyrath-script check' lists "
                     "the lines still empty.\n";
        return Ok;
    }
    if (command == u"check"_s) {
        if (!arity(0, 1))
            return usage(u"check takes at most one folder"_s);
        const auto [dir, named] = scriptAt(0, 1);
        if (named)
            return usage(twice);
        if (const auto status = unusable(dir.value_or(u"."_s), true))
            return *status;
        return check(dir.value_or(u"."_s), options.strict);
    }
    if (isExport) {
        const auto [dir, named] = scriptAt(0, 2);
        if (!arity(1, 2) || !dir)
            return usage(options.xlsx ? u"export --xlsx needs the script folder and the "
                                        u"spreadsheet file to write"_s
                                      : u"export needs the script folder and the folder for "
                                        u"the CSV files"_s);
        if (named)
            return usage(twice);
        if (const auto status = unusable(*dir, true))
            return *status;
        const QString& target = args.last();
        if (options.xlsx) {
            ScriptCommands::exportSpreadsheet(*dir, target, options.force);
            err() << "Wrote the sheets basic, control, double and special in " << nativePath(target)
                  << ".\n";
            return Ok;
        }
        ScriptCommands::exportCsv(*dir, target, {options.force, options.bom});
        err() << "Wrote basic.csv, control.csv, double.csv and special.csv in "
              << nativePath(target) << ".\n";
        return Ok;
    }
    if (isImport) {
        const auto [dir, named] = scriptAt(1, 2);
        if (!arity(1, 2) || !dir)
            return usage(u"import needs the CSV files' folder (or a spreadsheet file) and the "
                         u"script folder"_s);
        if (named)
            return usage(twice);
        if (const auto status = unusable(*dir, false))
            return *status;
        const QFileInfo source(args.at(0));
        const bool spreadsheet = options.xlsx || ScriptCommands::isSpreadsheet(args.at(0));
        if (spreadsheet ? !source.isFile() : !source.isDir())
            return usage(u"%1: the %2 was not found"_s.arg(nativePath(args.at(0)),
                                                           spreadsheet ? u"file"_s : u"folder"_s));
        return importScript(args.at(0), spreadsheet, *dir, options);
    }
    return usage(u"unknown command '%1'"_s.arg(command));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"veyrath-script"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VEYRATH_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Creates, checks, exports and imports Veyrath scripts.\n\n"_s + commandsHelp);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption force(u"force"_s, u"Replace existing files (import, export)."_s);
    const QCommandLineOption strict(u"strict"_s, u"Count warnings as errors (check)."_s);
    const QCommandLineOption only(u"only"_s,
                                  u"Import only these tables, replacing only their files: a "
                                  u"comma-separated list of basic, control, double, special."_s,
                                  u"tables"_s);
    const QCommandLineOption emptyAsText(
        u"empty-as-text"_s, u"Read an empty unquoted field as an empty text, not null, in the "
                            u"lines of basic, control and double (import)."_s);
    const QCommandLineOption allowErrors(
        u"allow-errors"_s, u"Import even when the check finds errors that stop the runner."_s);
    const QCommandLineOption bom(u"bom"_s, u"Begin each CSV file with a UTF-8 byte order mark, "
                                           u"for spreadsheets that need one (export)."_s);
    const QCommandLineOption xlsx(u"xlsx"_s, u"Write (export) or read (import) one spreadsheet "
                                             u"file with a sheet per table, its texts kept "
                                             u"as text."_s);
    const QCommandLineOption script(
        u"script"_s,
        u"The script to work on where DIR is left out: a folder, or a PostgreSQL address. "
        u"VEYRATH_SCRIPT is read when this is not given."_s,
        u"location"_s);
    parser.addOptions({force, strict, only, emptyAsText, allowErrors, bom, xlsx, script});
    parser.addPositionalArgument(u"command"_s, u"init, sample, check, export or import."_s);
    parser.addPositionalArgument(u"arguments"_s, u"The command's folders."_s, u"[arguments...]"_s);

    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(u"help"_s))
        parser.showHelp(Ok);
    if (parser.isSet(u"version"_s))
        parser.showVersion();

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usage(u"a command is needed"_s);
    const QString command = args.takeFirst();
    Options options{parser.isSet(force),
                    parser.isSet(strict),
                    parser.isSet(emptyAsText),
                    parser.isSet(allowErrors),
                    parser.isSet(bom),
                    parser.isSet(xlsx),
                    std::nullopt,
                    std::nullopt,
                    parser.isSet(script)};
    if (parser.isSet(only))
        options.only = parser.value(only);
    if (options.named || !qEnvironmentVariableIsEmpty("VEYRATH_SCRIPT"))
        options.script = ScriptLocation::chosen(parser.value(script));
    try {
        return run(command, args, options);
    } catch (const ScriptError& error) {
        out().flush();
        err() << "veyrath-script: " << error.message() << '\n';
        return Failed;
    }
}
