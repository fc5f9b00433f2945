// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/ScriptCommands.h"

#include "script/CsvReader.h"
#include "script/CsvWriter.h"
#include "script/NativePath.h"
#include "script/ScriptBuilder.h"
#include "script/ScriptError.h"
#include "script/ScriptExport.h"
#include "script/ScriptTable.h"
#include "script/SpecialRules.h"
#include "script/TableWriter.h"
#include "script/WorkFolder.h"
#include "tools/BlankScript.h"
#include "tools/SpreadsheetReader.h"
#include "tools/SpreadsheetWriter.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

using Tables = std::vector<std::unique_ptr<ScriptTable>>;

// All four are opened before anything is written, so a script that cannot be read leaves no
// trace in the target.
Tables openAll(const QString& dir)
{
    Tables tables;
    for (const TableLayout* layout : TableLayout::all())
        tables.push_back(ScriptTable::open(dir, *layout));
    return tables;
}

void refuseExisting(const QString& folder, const QString& name)
{
    if (QFileInfo::exists(QDir(folder).filePath(name)))
        throw ScriptError(name, u"the file already exists in %1; nothing was written (--force "
                                u"replaces it)"_s.arg(nativePath(folder)));
}

void openFile(QFile& file, const QString& name)
{
    if (!file.exists())
        throw ScriptError(name, u"the file was not found in %1"_s.arg(
                                    nativePath(QFileInfo(file.fileName()).absolutePath())));
    if (!file.open(QIODevice::ReadOnly))
        throw ScriptError(name, u"the file cannot be read (%1)"_s.arg(file.errorString()));
}

// Reads each table's records from a CSV file, a bundled file or a sheet, one table at a time.
class Sources {
public:
    virtual ~Sources() = default;
    virtual void read(const TableLayout& layout, const std::function<void(RecordSource&)>& use) = 0;
};

class CsvFiles final : public Sources {
public:
    // Each file is looked at before anything is built, so that a missing one is told at once.
    CsvFiles(QString folder, const QList<const TableLayout*>& tables)
        : m_folder(std::move(folder))
    {
        for (const TableLayout* layout : tables) {
            QFile file(path(*layout));
            openFile(file, ScriptCommands::csvName(*layout));
        }
    }
    void read(const TableLayout& layout, const std::function<void(RecordSource&)>& use) override
    {
        QFile file(path(layout));
        openFile(file, ScriptCommands::csvName(layout));
        CsvReader reader(file, ScriptCommands::csvName(layout));
        use(reader);
    }

private:
    QString path(const TableLayout& layout) const
    {
        return QDir(m_folder).filePath(ScriptCommands::csvName(layout));
    }
    QString m_folder;
};

class Sheets final : public Sources {
public:
    Sheets(const QString& path, const QList<const TableLayout*>& tables)
        : m_book(path)
    {
        for (const TableLayout* layout : tables) {
            if (!m_book.hasSheet(layout->caption))
                throw ScriptError(m_book.name(),
                                  u"there is no sheet named \"%1\" in it (it holds %2)"_s.arg(
                                      layout->caption, m_book.sheetNames().join(u", "_s)));
        }
    }
    void read(const TableLayout& layout, const std::function<void(RecordSource&)>& use) override
    {
        use(*m_book.sheet(layout.caption));
    }

private:
    SpreadsheetReader m_book;
};

// libxlsxwriter keeps the rows in temporary files and does not tell when a write to them fails
// (a full disk, a size limit): the file it then makes is whole but short. Looking at what came
// out is the one way to know every row is in it.
QString missingRows(const QString& path, const QList<std::pair<QString, qint64>>& sheets)
{
    try {
        SpreadsheetReader book(path);
        for (const auto& [name, rows] : sheets) {
            // The header is row 1.
            if (const int last = book.lastRow(name); last != rows + 1)
                return last < 0 ? u"the sheet %1 came out cut short"_s.arg(name)
                                : u"the sheet %1 came out with %2 of its %3 rows"_s.arg(name)
                                      .arg(qMax(last - 1, 0))
                                      .arg(rows);
        }
    } catch (const ScriptError& error) {
        return u"what was written cannot be read back (%1)"_s.arg(error.reason());
    }
    return {};
}

// The Yes counts an existing special.mdb (or special table) holds, read before it is replaced.
void readOldCounts(const QString& dir, ScriptCommands::ImportReport& report)
{
    if (!ScriptTable::exists(dir, TableLayout::special()))
        return;
    try {
        report.countsBefore =
            SpecialRules::countedTotal(*ScriptTable::open(dir, TableLayout::special()));
    } catch (const ScriptError& error) {
        report.countsUnread = error.reason();
    }
}

} // namespace

bool ScriptCommands::isSpreadsheet(const QString& path)
{
    return QFileInfo(path).suffix().compare(u"xlsx"_s, Qt::CaseInsensitive) == 0;
}

void ScriptCommands::init(const QString& dir)
{
    ScriptBuilder builder(dir, ScriptBuilder::Existing::Refuse);
    builder.fill([&] {
        for (const TableLayout* layout : TableLayout::all()) {
            ScriptTable& table = builder.table(*layout);
            table.writeTransaction([&] {
                TableWriter writer(table);
                for (QVariantList& row : BlankScript::rows(*layout))
                    writer.append(std::move(row));
                writer.finish();
            });
        }
    });
    builder.commit();
}

void ScriptCommands::sample(const QString& dir)
{
    CsvFiles bundled(u":/sample"_s, TableLayout::all());
    ScriptBuilder builder(dir, ScriptBuilder::Existing::Refuse);
    builder.fill([&] {
        for (const TableLayout* layout : TableLayout::all()) {
            bundled.read(*layout, [&](RecordSource& source) {
                ScriptImport::read(source, builder.table(*layout), {}, [](const ScriptFinding&) {});
            });
        }
    });
    builder.commit();
}

ScriptCommands::ImportReport ScriptCommands::importScript(const QString& source, const QString& dir,
                                                          const ImportOptions& options)
{
    std::unique_ptr<Sources> sources;
    if (options.spreadsheet)
        sources = std::make_unique<Sheets>(source, options.tables);
    else
        sources = std::make_unique<CsvFiles>(source, options.tables);

    ScriptBuilder builder(
        dir, options.replace ? ScriptBuilder::Existing::Replace : ScriptBuilder::Existing::Refuse,
        options.tables, u"--force replaces them"_s);
    // Read once the builder has found nobody else holding the file, so as not to wait on them.
    ImportReport report;
    if (options.replace && options.tables.contains(&TableLayout::special()))
        readOldCounts(dir, report);
    builder.fill([&] {
        for (const TableLayout* layout : options.tables) {
            ScriptTable& table = builder.table(*layout);
            sources->read(*layout, [&](RecordSource& records) {
                const ScriptImport::Result result =
                    ScriptImport::read(records, table, options.records, options.findings);
                report.rows += result.records;
                report.nullLines += result.nullLines;
                report.errors += result.errors;
                report.warnings += result.warnings;
            });
            if (layout == &TableLayout::special())
                report.countsAfter = SpecialRules::countedTotal(table);
        }
    });
    if (report.errors > 0 && !options.allowErrors)
        return report;
    builder.commit();
    report.imported = true;
    return report;
}

void ScriptCommands::exportCsv(const QString& dir, const QString& out, const ExportOptions& options)
{
    QStringList names;
    for (const TableLayout* layout : TableLayout::all()) {
        names << csvName(*layout);
        if (!options.replace)
            refuseExisting(out, names.last());
    }
    const Tables tables = openAll(dir);
    WorkFolder work(out);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        QFile file(work.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            work.fail(name, file.errorString());
        CsvWriter writer(file, name);
        try {
            if (options.byteOrderMark)
                writer.addMark();
            ScriptExport::write(*tables.at(std::size_t(i)), writer);
        } catch (const ScriptError& error) {
            if (error.file() == name) // the file written, not the table read
                work.fail(name, error.reason());
            throw;
        }
        file.close();
        if (file.error() != QFileDevice::NoError)
            work.fail(name, file.errorString());
        work.makeDurable(name);
    }
    work.moveIn(names, options.replace);
}

void ScriptCommands::exportSpreadsheet(const QString& dir, const QString& file, bool replace)
{
    const QFileInfo target(file);
    const QString name = target.fileName();
    if (target.isDir())
        throw ScriptError(nativePath(file), u"this is a folder; name the spreadsheet file to "
                                            u"write, such as script.xlsx"_s);
    if (!replace)
        refuseExisting(target.absolutePath(), name);
    const Tables tables = openAll(dir);
    WorkFolder work(target.absolutePath());
    QList<std::pair<QString, qint64>> sheets;
    {
        SpreadsheetWriter book(work.filePath(name), work.path());
        for (const auto& table : tables)
            sheets.emplace_back(table->layout().caption,
                                ScriptExport::write(*table, book.addSheet(table->layout())));
        if (const QString problem = book.close(); !problem.isEmpty())
            work.fail(name, problem);
    }
    if (const QString problem = missingRows(work.filePath(name), sheets); !problem.isEmpty())
        work.fail(name, problem);
    work.makeDurable(name);
    work.moveIn({name}, replace);
}
