#include "script/ScriptCheck.h"
#include "script/ScriptError.h"
#include "tools/ScriptCommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

enum ExitCode { Ok = 0, Failed = 1, Usage = 2 };

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

const QString commandsHelp =
    u"Commands:\n"
    u"  init DIR             create the four script files, empty\n"
    u"  sample DIR           create them holding the bundled sample script\n"
    u"  check [DIR]          report what would go wrong in a run (default: .)\n"
    u"  export DIR OUT       write the four tables as CSV files into OUT\n"
    u"  import SRC DIR       build the four files from the CSV files in SRC\n"
    u"\n"
    u"None of them replaces an existing file unless --force is given\n"
    u"(import and export only)."_s;

int usage(const QString& problem)
{
    err() << "veyrath-script: " << problem << "\nTry 'veyrath-script --help'.\n";
    return Usage;
}

bool isFolder(const QString& path)
{
    return QFileInfo(path).isDir();
}

int check(const QString& dir)
{
    const QList<ScriptFinding> findings = ScriptCheck::run(dir);
    qsizetype errors = 0;
    for (const ScriptFinding& finding : findings) {
        err() << finding.message() << '\n';
        errors += finding.isError() ? 1 : 0;
    }
    if (findings.isEmpty()) {
        err() << "The script in " << QDir::toNativeSeparators(dir) << " is fine.\n";
        return Ok;
    }
    err() << errors << " error(s), " << findings.size() - errors << " warning(s).\n";
    return Failed;
}

int run(const QString& command, const QStringList& args, bool force)
{
    const auto arity = [&](qsizetype least, qsizetype most) {
        return args.size() >= least && args.size() <= most;
    };
    if (force && command != u"import"_s && command != u"export"_s)
        return usage(u"--force applies to import and export only"_s);

    if (command == u"init"_s || command == u"sample"_s) {
        if (!arity(1, 1))
            return usage(u"%1 needs one folder"_s.arg(command));
        if (command == u"init"_s)
            ScriptCommands::init(args.at(0));
        else
            ScriptCommands::sample(args.at(0));
        err() << "Created basic.mdb, control.mdb, double.mdb and special.mdb in "
              << QDir::toNativeSeparators(args.at(0)) << ".\n";
        return Ok;
    }
    if (command == u"check"_s) {
        if (!arity(0, 1))
            return usage(u"check takes at most one folder"_s);
        const QString dir = args.value(0, u"."_s);
        if (!isFolder(dir))
            return usage(u"%1: the folder was not found"_s.arg(QDir::toNativeSeparators(dir)));
        return check(dir);
    }
    if (command == u"export"_s) {
        if (!arity(2, 2))
            return usage(u"export needs the script folder and the folder for the CSV files"_s);
        if (!isFolder(args.at(0)))
            return usage(
                u"%1: the folder was not found"_s.arg(QDir::toNativeSeparators(args.at(0))));
        ScriptCommands::exportCsv(args.at(0), args.at(1), force);
        err() << "Wrote basic.csv, control.csv, double.csv and special.csv in "
              << QDir::toNativeSeparators(args.at(1)) << ".\n";
        return Ok;
    }
    if (command == u"import"_s) {
        if (!arity(2, 2))
            return usage(u"import needs the folder of CSV files and the script folder"_s);
        if (!isFolder(args.at(0)))
            return usage(
                u"%1: the folder was not found"_s.arg(QDir::toNativeSeparators(args.at(0))));
        const int rows = ScriptCommands::importCsv(args.at(0), args.at(1), force);
        err() << "Imported " << rows << " rows into " << QDir::toNativeSeparators(args.at(1))
              << ".\n";
        // The import keeps what the files say; whether a run will go well is another matter.
        const QList<ScriptFinding> findings = ScriptCheck::run(args.at(1));
        for (const ScriptFinding& finding : findings)
            err() << finding.message() << '\n';
        return Ok;
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
    const QCommandLineOption force(u"force"_s, u"Replace existing files."_s);
    parser.addOption(force);
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
    try {
        return run(command, args, parser.isSet(force));
    } catch (const ScriptError& error) {
        err() << "veyrath-script: " << error.message() << '\n';
        return Failed;
    }
}
