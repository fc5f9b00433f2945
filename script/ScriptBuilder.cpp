#include "script/ScriptBuilder.h"

#include "script/ScriptError.h"
#include "script/ScriptTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <system_error>

using namespace Qt::Literals::StringLiterals;

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

bool present(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

ScriptBuilder::ScriptBuilder(QString dir, Existing existing)
    : m_dir(std::move(dir))
    , m_existing(existing)
{
    const QFileInfo info(m_dir);
    if (info.exists() && !info.isDir())
        throw ScriptError(native(m_dir), u"this is not a folder"_s);
    if (!QDir().mkpath(m_dir))
        throw ScriptError(native(m_dir), u"the folder cannot be created"_s);
    if (m_existing == Existing::Refuse) {
        const QStringList found = existingFiles(m_dir);
        if (found.size() == 1)
            throw ScriptError(found.first(), u"the file already exists in %1; no script file was "
                                             u"written"_s.arg(native(m_dir)));
        if (!found.isEmpty())
            throw ScriptError(found.join(u", "_s), u"these files already exist in %1; no script "
                                                   u"file was written"_s.arg(native(m_dir)));
    }
    refuseFilesInUse();
    m_work = std::make_unique<QTemporaryDir>(QDir(m_dir).filePath(u".veyrath-XXXXXX"_s));
    if (!m_work->isValid())
        throw ScriptError(native(m_dir),
                          u"no working folder can be made in it (%1)"_s.arg(m_work->errorString()));
}

ScriptBuilder::~ScriptBuilder()
{
    // Connections first: the working folder goes with m_work, and its files must be closed.
    m_tables.clear();
}

QStringList ScriptBuilder::existingFiles(const QString& dir)
{
    QStringList found;
    for (const TableLayout* layout : TableLayout::all()) {
        if (present(ScriptTable::pathIn(dir, *layout)))
            found << layout->fileName;
    }
    return found;
}

void ScriptBuilder::refuseFilesInUse() const
{
    // A write-ahead log or rollback journal belongs to whatever file carries the name; a new
    // file moved under it would take the old file's pages as its own and be corrupted.
    for (const TableLayout* layout : TableLayout::all()) {
        for (const QString& suffix : {u"-wal"_s, u"-journal"_s}) {
            const QString path = ScriptTable::pathIn(m_dir, *layout) + suffix;
            if (present(path))
                throw ScriptError(layout->fileName + suffix,
                                  u"this file in %1 shows that %2 is open in the runner or the "
                                  u"editor, or was not closed cleanly; close them (or open and "
                                  u"close the script once) and try again. No script file was "
                                  u"written"_s.arg(native(m_dir), layout->fileName));
        }
    }
}

ScriptTable& ScriptBuilder::table(const TableLayout& layout)
{
    auto& table = m_tables[layout.kind];
    if (!table)
        table = ScriptTable::create(m_work->path(), layout);
    return *table;
}

void ScriptBuilder::commit()
{
    for (const TableLayout* layout : TableLayout::all()) {
        // Each file leaves as one self-contained file: no log beside it to move along.
        table(*layout).exec(u"PRAGMA journal_mode=DELETE"_s);
    }
    m_tables.clear();
    refuseFilesInUse();

    const bool replace = m_existing == Existing::Replace;
    struct Moved {
        QString target;
        QString backup;
    };
    QList<Moved> moved;
    try {
        for (const TableLayout* layout : TableLayout::all()) {
            const QString from = ScriptTable::pathIn(m_work->path(), *layout);
            const QString to = ScriptTable::pathIn(m_dir, *layout);
            const QString backup = from + u".old"_s;
            moveIntoPlace(from, to, backup, replace);
            moved << Moved{to, present(backup) ? backup : QString()};
        }
    } catch (const ScriptError&) {
        for (auto it = moved.crbegin(); it != moved.crend(); ++it) {
            std::error_code ignored;
            if (it->backup.isEmpty())
                QFile::remove(it->target);
            else
                std::filesystem::rename(fsPath(it->backup), fsPath(it->target), ignored);
        }
        throw;
    }
}

void ScriptBuilder::moveIntoPlace(const QString& from, const QString& to, const QString& backup,
                                  bool replace) const
{
    const QString name = QFileInfo(to).fileName();
    if (!replace) {
        // QFile::rename never replaces an existing file, so a file that appeared meanwhile
        // is kept.
        QFile file(from);
        if (!file.rename(to))
            throw ScriptError(name, present(to)
                                        ? u"the file appeared in %1 while the script was "
                                          u"being built; it was left as it is"_s.arg(native(m_dir))
                                        : u"the file cannot be moved into %1 (%2)"_s.arg(
                                              native(m_dir), file.errorString()));
        return;
    }
    std::error_code error;
    if (present(to)) {
        if (QFileInfo(to).isDir())
            throw ScriptError(name, u"this is a folder in %1, not a file"_s.arg(native(m_dir)));
        // Kept until all four are in place, so that a failure can put the old one back.
        std::filesystem::create_hard_link(fsPath(to), fsPath(backup), error);
        if (error && !QFile::copy(to, backup))
            throw ScriptError(name, u"the old file cannot be kept aside while it is replaced"_s);
    }
    // rename() replaces the old file in one step: a program opening it sees old or new.
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (error)
        throw ScriptError(name, u"the file cannot be replaced in %1 (%2)"_s.arg(
                                    native(m_dir), QString::fromStdString(error.message())));
}
