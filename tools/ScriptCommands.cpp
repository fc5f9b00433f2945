// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/ScriptCommands.h"

#include "script/ScriptBuilder.h"
#include "script/ScriptCheck.h"
#include "script/ScriptError.h"
#include "script/ScriptExport.h"
#include "script/ScriptTable.h"
#include "script/SpecialRules.h"
#include "script/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <map>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The line of the first byte sequence that is not UTF-8, for a message the author can act on.
int firstBadLine(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString ignored = decoder.decode(lines.at(i));
        if (decoder.hasError())
            return int(i + 1);
    }
    return 0;
}

QString readUtf8(const QString& path, const QString& name)
{
    QFile file(path);
    if (!file.exists())
        throw ScriptError(
            name, u"the file was not found in %1"_s.arg(native(QFileInfo(path).absolutePath())));
    if (!file.open(QIODevice::ReadOnly))
        throw ScriptError(name, u"the file cannot be read (%1)"_s.arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw ScriptError(name, u"line %1 is not UTF-8 text; convert the file to UTF-8 first (for "
                                u"example with iconv)"_s.arg(firstBadLine(bytes)));
    return text;
}

// Every byte on the disk or a failure: a write the system only buffered is not written yet.
void writeWhole(const WorkFolder& work, const QString& name, const QByteArray& bytes)
{
    QFile file(work.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        work.fail(name, file.errorString());
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 wrote = file.write(bytes.constData() + done, bytes.size() - done);
        if (wrote <= 0)
            work.fail(name, file.errorString());
        done += wrote;
    }
    if (!file.flush() || ::fsync(file.handle()) != 0)
        work.fail(name, file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        work.fail(name, file.errorString());
}

void build(const QString& dir, const auto& fill)
{
    ScriptBuilder builder(dir, ScriptBuilder::Existing::Refuse);
    builder.fill([&] {
        for (const TableLayout* layout : TableLayout::all())
            fill(builder.table(*layout), *layout);
    });
    builder.commit();
}

// The Yes counts an existing special.mdb holds, read before it is replaced.
void readOldCounts(const QString& dir, ScriptCommands::ImportReport& report)
{
    if (!QFileInfo::exists(ScriptTable::pathIn(dir, TableLayout::special())))
        return;
    try {
        report.countsBefore =
            SpecialRules::countedTotal(*ScriptTable::open(dir, TableLayout::special()));
    } catch (const ScriptError& error) {
        report.countsUnread = error.reason();
    }
}

} // namespace

void ScriptCommands::init(const QString& dir)
{
    build(dir, [](ScriptTable&, const TableLayout&) {});
}

void ScriptCommands::sample(const QString& dir)
{
    build(dir, [](ScriptTable& table, const TableLayout& layout) {
        const QString name = csvName(layout);
        ScriptImport::fromCsv(table, readUtf8(u":/sample/"_s + name, name), name);
    });
}

ScriptCommands::ImportReport ScriptCommands::importCsv(const QString& source, const QString& dir,
                                                       const ImportOptions& options)
{
    // Read them all before anything is built, so that a missing file is told at once.
    std::map<TableLayout::Kind, QString> texts;
    for (const TableLayout* layout : options.tables)
        texts[layout->kind] = readUtf8(QDir(source).filePath(csvName(*layout)), csvName(*layout));

    ScriptBuilder builder(
        dir, options.replace ? ScriptBuilder::Existing::Replace : ScriptBuilder::Existing::Refuse,
        options.tables);
    // Read once the builder has found nobody else holding the file, so as not to wait on them.
    ImportReport report;
    if (options.replace && options.tables.contains(&TableLayout::special()))
        readOldCounts(dir, report);
    std::map<TableLayout::Kind, ScriptImport::Result> results;
    builder.fill([&] {
        for (const TableLayout* layout : options.tables) {
            ScriptTable& table = builder.table(*layout);
            const auto& result = results[layout->kind] =
                ScriptImport::fromCsv(table, texts.at(layout->kind), csvName(*layout), options.csv);
            report.rows += result.records;
            report.nullLines += result.nullLines;
            if (layout == &TableLayout::special())
                report.countsAfter = SpecialRules::countedTotal(table);
        }
    });
    builder.seal();

    // What the runner would make of the new files, placed where the author can mend it.
    for (const TableLayout* layout : options.tables) {
        for (ScriptFinding finding : ScriptCheck::run(builder.workDir(), {layout})) {
            finding.file = csvName(*layout);
            finding.row = results.at(layout->kind).lineOf(finding.row);
            report.findings << finding;
        }
    }
    const bool errors = std::any_of(report.findings.cbegin(), report.findings.cend(),
                                    [](const ScriptFinding& f) { return f.isError(); });
    if (errors && !options.allowErrors)
        return report;
    builder.commit();
    report.imported = true;
    return report;
}

void ScriptCommands::exportCsv(const QString& dir, const QString& out, const ExportOptions& options)
{
    QList<QByteArray> files;
    for (const TableLayout* layout : TableLayout::all()) {
        const QString text = ScriptExport::toCsv(*ScriptTable::open(dir, *layout));
        files << (options.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) +
                     text.toUtf8();
    }

    if (!QDir().mkpath(out))
        throw ScriptError(native(out), u"the folder cannot be created"_s);
    QStringList names;
    for (const TableLayout* layout : TableLayout::all()) {
        names << csvName(*layout);
        if (!options.replace && QFileInfo::exists(QDir(out).filePath(names.last())))
            throw ScriptError(names.last(), u"the file already exists in %1; nothing was written "
                                            u"(--force replaces it)"_s.arg(native(out)));
    }
    WorkFolder work(out);
    for (qsizetype i = 0; i < names.size(); ++i)
        writeWhole(work, names.at(i), files.at(i));
    work.moveIn(names, options.replace);
}
