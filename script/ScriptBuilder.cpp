// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptBuilder.h"

#include "script/FileUsers.h"
#include "script/NativePath.h"
#include "script/ScriptError.h"
#include "script/ScriptLocation.h"
#include "script/ScriptTable.h"
#include "script/ServerBuilder.h"
#include "script/WorkFolder.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {

bool present(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// An empty log holds nothing to put back; SQLite leaves one when an open fails half-way.
bool holdsPages(const QString& log)
{
    const QFileInfo info(log);
    return info.isSymLink() || (info.exists() && info.size() > 0);
}

// The files a SQLite database keeps beside itself while it is open or after a crash.
const QStringList& logSuffixes()
{
    static const QStringList suffixes{u"-wal"_s, u"-journal"_s};
    return suffixes;
}

} // namespace

ScriptBuilder::ScriptBuilder(QString dir, Existing existing, QList<const TableLayout*> layouts,
                             const QString& howToReplace)
    : m_dir(std::move(dir))
    , m_existing(existing)
    , m_layouts(std::move(layouts))
{
    if (ScriptLocation::isServer(m_dir)) {
        m_server = std::make_unique<ServerBuilder>(m_dir, existing == Existing::Replace, m_layouts,
                                                   howToReplace);
        return;
    }
    // A path that is no folder is refused by the working folder, which names it.
    if (m_existing == Existing::Refuse) {
        QStringList found;
        for (const TableLayout* layout : std::as_const(m_layouts)) {
            if (present(ScriptTable::pathIn(m_dir, *layout)))
                found << layout->fileName;
        }
        if (!found.isEmpty())
            throw ScriptError::alreadyThere(found, u"file"_s, nativePath(m_dir), howToReplace);
    }
    refuseFilesInUse();
    m_work = std::make_unique<WorkFolder>(m_dir);
}

ScriptBuilder::~ScriptBuilder()
{
    // Connections first: the working folder goes with m_work, and its files must be closed.
    m_tables.clear();
}

QString ScriptBuilder::workDir() const
{
    return m_server ? m_dir : m_work->path();
}

void ScriptBuilder::refuseFilesInUse() const
{
    // A program holding a file open would go on writing to the old file, or write its pages
    // over the new one: either way its next write would be lost or do damage. Every file is
    // looked at, so that one message names every program to close.
    QStringList files;
    QStringList holders; // each program once, in the order met
    QList<QStringList> held;
    for (const TableLayout* layout : std::as_const(m_layouts)) {
        const QString holder = FileUsers::holder(ScriptTable::pathIn(m_dir, *layout));
        if (holder.isEmpty())
            continue;
        files << layout->fileName;
        if (!holders.contains(holder)) {
            holders << holder;
            held << QStringList();
        }
        held[holders.indexOf(holder)] << layout->fileName;
    }
    if (holders.size() == 1)
        throw ScriptError(
            files.join(u", "_s),
            u"%1 open in %2; close it and try again. No script file was "
            u"written"_s.arg(files.size() == 1 ? u"the file is"_s : u"these files are"_s,
                             holders.first()));
    if (!holders.isEmpty()) {
        QStringList uses;
        for (qsizetype i = 0; i < holders.size(); ++i)
            uses << held.at(i).join(u", "_s) + u" in "_s + holders.at(i);
        throw ScriptError(files.join(u", "_s),
                          u"these files are open: %1; close those programs "
                          u"and try again. No script file was written"_s.arg(uses.join(u"; "_s)));
    }

    // A log left beside a file belongs to whatever file carries the name; a new file moved
    // under it would take the old file's pages as its own and be damaged.
    for (const TableLayout* layout : std::as_const(m_layouts)) {
        const QString path = ScriptTable::pathIn(m_dir, *layout);
        for (const QString& suffix : logSuffixes()) {
            if (holdsPages(path + suffix))
                throw ScriptError(layout->fileName + suffix,
                                  u"this file in %1 shows that %2 was not closed cleanly; open "
                                  u"and close it once (for example with veyrath-script check) "
                                  u"and try again. No script file was written"_s.arg(
                                      nativePath(m_dir), layout->fileName));
        }
    }
}

ScriptTable& ScriptBuilder::table(const TableLayout& layout)
{
    if (m_server)
        return m_server->table(layout);
    if (!m_layouts.contains(&layout))
        throw ScriptError(layout.fileName, u"this file is not among those being built"_s);
    auto& table = m_tables[layout.kind];
    if (!table) {
        table = ScriptTable::create(m_work->path(), layout);
        // Nobody else sees a file while it is built, and one that fails is thrown away whole,
        // so it is written once, without a log beside it and without waiting for the disk at
        // each step; seal() gives it its log back and puts it on the disk once.
        table->exec(u"PRAGMA journal_mode=OFF"_s);
        table->exec(u"PRAGMA synchronous=OFF"_s);
    }
    return *table;
}

void ScriptBuilder::failed(const std::exception_ptr& fault) const
{
    try {
        std::rethrow_exception(fault);
    } catch (const ScriptError& error) {
        // The new files hold nothing that can be wrong but what the disk does to them.
        for (const TableLayout* layout : std::as_const(m_layouts)) {
            if (error.file() == layout->fileName)
                m_work->fail(layout->fileName, error.reason());
        }
        throw;
    }
}

void ScriptBuilder::fill(const std::function<void()>& work)
{
    if (m_server) {
        work(); // a fault rolls it all back
        return;
    }
    try {
        work();
    } catch (const ScriptError&) {
        failed(std::current_exception());
    }
}

void ScriptBuilder::seal()
{
    if (m_sealed || m_server)
        return;
    fill([this] {
        for (const TableLayout* layout : std::as_const(m_layouts)) {
            ScriptTable& built = table(*layout);
            QSqlQuery mode = built.exec(u"PRAGMA journal_mode=WAL"_s);
            if (!mode.next() || mode.value(0).toString() != u"wal"_s)
                throw ScriptError(layout->fileName, u"its write-ahead log cannot be set up"_s);
            mode.finish();
            // Written back now, where a failure is seen, rather than at the close.
            QSqlQuery done = built.exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
            if (done.next() && done.value(0).toInt() != 0)
                throw ScriptError(layout->fileName, u"its log could not be written back"_s);
        }
    });
    m_tables.clear();
    for (const TableLayout* layout : std::as_const(m_layouts))
        m_work->makeDurable(layout->fileName);
    m_sealed = true;
}

void ScriptBuilder::commit()
{
    if (m_server) {
        m_server->commit();
        return;
    }
    seal();
    QStringList names;
    for (const TableLayout* layout : std::as_const(m_layouts)) {
        // Each file leaves as one self-contained file: a log left beside it would stay behind.
        for (const QString& suffix : logSuffixes()) {
            if (holdsPages(m_work->filePath(layout->fileName + suffix)))
                m_work->fail(layout->fileName, u"its log was not written back at the close"_s);
        }
        names << layout->fileName;
    }
    refuseFilesInUse();
    m_work->moveIn(names, m_existing == Existing::Replace);
}
