// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/WorkFolder.h"

#include "script/NativePath.h"
#include "script/ScriptError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Less room than this left where a write failed means the disk filled up: the failed write
// itself needed only a page or so.
constexpr qint64 nearlyFull = qint64(1024) * 1024;

std::filesystem::path fsPath(const QString& path)
{
    return {path.toStdU16String()};
}

bool present(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString backupOf(const QString& workFile)
{
    return workFile + u".old"_s;
}

} // namespace

WorkFolder::WorkFolder(QString target)
    : m_target(std::move(target))
{
    const QFileInfo info(m_target);
    if (info.exists() && !info.isDir())
        throw ScriptError(nativePath(m_target), u"this is not a folder"_s);
    for (QString dir = QDir::cleanPath(QFileInfo(m_target).absoluteFilePath());
         !present(dir) && !QDir(dir).isRoot(); dir = QFileInfo(dir).path())
        m_made.prepend(dir);
    if (!QDir().mkpath(m_target)) {
        removeMadeFolders();
        throw ScriptError(nativePath(m_target), u"the folder cannot be created"_s);
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir(m_target).filePath(u".veyrath-XXXXXX"_s));
    if (!m_dir->isValid()) {
        const QString reason = m_dir->errorString();
        m_dir.reset();
        removeMadeFolders();
        throw ScriptError(nativePath(m_target),
                          u"no working folder can be made in it (%1)"_s.arg(reason));
    }
}

WorkFolder::~WorkFolder()
{
    m_dir.reset();
    if (!m_delivered)
        removeMadeFolders();
}

void WorkFolder::removeMadeFolders() const
{
    // Only folders still empty go: whatever another program put there meanwhile stays.
    for (qsizetype i = m_made.size() - 1; i >= 0; --i)
        QDir().rmdir(m_made.at(i));
}

QString WorkFolder::path() const
{
    return m_dir->path();
}

QString WorkFolder::filePath(const QString& name) const
{
    return m_dir->filePath(name);
}

void WorkFolder::fail(const QString& name, const QString& cause) const
{
    QStorageInfo storage(path());
    storage.refresh();
    const bool full = cause.contains(u"full"_s, Qt::CaseInsensitive) ||
                      (storage.isValid() && storage.bytesAvailable() < nearlyFull);
    const QString kept =
        m_made.isEmpty()
            ? u"The files in %1 were kept as they were, and the working folder is removed"_s
            : u"%1, made for the new files, is removed again"_s;
    throw ScriptError(nativePath(path()),
                      u"%1, so %2 could not be written in this working folder (%3). %4"_s.arg(
                          full ? u"the disk is full"_s : u"a write failed"_s, name, cause,
                          kept.arg(nativePath(m_target))));
}

void WorkFolder::makeDurable(const QString& name) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadWrite))
        fail(name, file.errorString());
    // QFile knows nothing of a failed fsync: its errorString() would say "Unknown error".
    if (::fsync(file.handle()) != 0)
        fail(name, QString::fromLocal8Bit(std::strerror(errno)));
    file.close();
}

void WorkFolder::moveIn(const QStringList& names, bool replace) const
{
    QStringList moved;
    try {
        for (const QString& name : names) {
            moveOne(name, replace);
            moved << name;
        }
        m_delivered = true;
    } catch (const ScriptError&) {
        // Back out in the reverse order, so each file finds the state it left.
        for (qsizetype i = moved.size() - 1; i >= 0; --i) {
            const QString& name = moved.at(i);
            const QString target = QDir(m_target).filePath(name);
            const QString backup = backupOf(filePath(name));
            std::error_code ignored;
            if (present(backup))
                std::filesystem::rename(fsPath(backup), fsPath(target), ignored);
            else
                QFile::remove(target);
        }
        throw;
    }
}

void WorkFolder::moveOne(const QString& name, bool replace) const
{
    const QString from = filePath(name);
    const QString to = QDir(m_target).filePath(name);
    if (!replace) {
        // QFile::rename never replaces an existing file, so a file that appeared meanwhile
        // is kept.
        QFile file(from);
        if (!file.rename(to))
            throw ScriptError(name, present(to) ? u"the file appeared in %1 while the new one was "
                                                  u"being written; it was left as it is"_s.arg(
                                                      nativePath(m_target))
                                                : u"the file cannot be moved into %1 (%2)"_s.arg(
                                                      nativePath(m_target), file.errorString()));
        return;
    }
    std::error_code error;
    if (present(to)) {
        if (QFileInfo(to).isDir())
            throw ScriptError(name,
                              u"this is a folder in %1, not a file"_s.arg(nativePath(m_target)));
        // Kept until all are in place, so that a failure can put the old one back.
        std::filesystem::create_hard_link(fsPath(to), fsPath(backupOf(from)), error);
        if (error && !QFile::copy(to, backupOf(from)))
            throw ScriptError(name, u"the old file cannot be kept aside while it is replaced"_s);
    }
    // rename() replaces the old file in one step: a program opening it sees old or new.
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (error)
        throw ScriptError(name, u"the file cannot be replaced in %1 (%2)"_s.arg(
                                    nativePath(m_target), QString::fromStdString(error.message())));
}
