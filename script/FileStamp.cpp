// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/FileStamp.h"

#include "script/FileHead.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
// The two copies of the index header and the checkpoint record after them: every commit and
// every checkpoint through SQLite changes some of it.
constexpr qint64 indexHead = 136;
} // namespace

FileStamp::FileStamp(QString path)
    : m_path(std::move(path))
    , m_look(look())
{
}

FileStamp::Look FileStamp::look() const
{
    Look now;
#ifdef Q_OS_UNIX
    // To the nanosecond, where QFileInfo stops at the millisecond.
    struct stat status {};
    if (::stat(QFile::encodeName(m_path).constData(), &status) != 0)
        return now;
    now.size = status.st_size;
    now.modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
#else
    const QFileInfo info(m_path);
    if (!info.exists())
        return now;
    now.size = info.size();
    now.modified = info.lastModified().toMSecsSinceEpoch();
#endif
    // Read only through SQLite's own descriptor: a file it locks is never opened beside it.
    now.index =
        FileHead::read(m_path + QStringLiteral("-shm"), indexHead, FileHead::Opening::Never);
    return now;
}

void FileStamp::renew(qint64 dataVersion)
{
    m_look = look();
    m_version = dataVersion;
    m_suspect = false;
}

bool FileStamp::writtenOver(qint64 dataVersion)
{
    const Look now = look();
    const bool fileSame = now.size == m_look.size && now.modified == m_look.modified;
    if (fileSame || now.index != m_look.index || dataVersion != m_version) {
        renew(dataVersion);
        return false;
    }
    if (!m_suspect) {
        m_suspect = true; // kept against the last look, so that a mark made meanwhile counts
        return false;
    }
    return true;
}
