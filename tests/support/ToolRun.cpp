// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/ToolRun.h"

#include "script/CsvReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>

using namespace Qt::Literals::StringLiterals;

namespace {

ToolRun run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        qFatal("veyrath-script did not finish");
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError()),
            QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace

ToolRun ToolRun::tool(const QStringList& args)
{
    return run(QStringLiteral(VEYRATH_SCRIPT_TOOL), args);
}

ToolRun ToolRun::toolWithSmallFiles(const QStringList& args, int kib)
{
    return run(u"/bin/sh"_s,
               QStringList{u"-c"_s,
                           u"trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\""_s.arg(kib * 2),
                           QStringLiteral(VEYRATH_SCRIPT_TOOL)} +
                   args);
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QMap<QString, QByteArray> contents(const QString& dir)
{
    QMap<QString, QByteArray> found;
    for (const QString& name :
         QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        found.insert(name, bytesOf(QDir(dir).filePath(name)));
    return found;
}

QList<QVariantList> csvRecords(const QByteArray& csv)
{
    QByteArray bytes = csv;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, u"test.csv"_s);
    QList<QVariantList> records;
    for (QVariantList record; reader.next(record);)
        records << record;
    return records;
}
