// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/FileUsers.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Where SQLite's unix layer takes its locks: in the database file, the pending and reserved
// bytes and the shared range after them at 1 GiB; in the -shm index, the eight locks of the
// log and the byte each open connection holds while it is open.
constexpr off_t databaseLocks = 0x40000000;
constexpr off_t databaseLockBytes = 512;
constexpr off_t indexLocks = 120;
constexpr off_t indexLockBytes = 9;

pid_t lockHolder(const QString& path, off_t start, off_t length)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = start;
    probe.l_len = length;
    pid_t holder = 0;
    if (::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        holder = probe.l_pid > 0 ? probe.l_pid : -1;
    ::close(fd);
    return holder;
}

QString programName(pid_t pid)
{
    QFile comm(u"/proc/%1/comm"_s.arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(comm.readAll()).trimmed();
}

} // namespace

QString FileUsers::holder(const QString& path)
{
    pid_t pid = lockHolder(path, databaseLocks, databaseLockBytes);
    if (pid == 0)
        pid = lockHolder(path + u"-shm"_s, indexLocks, indexLockBytes);
    if (pid == 0)
        return {};
    if (pid < 0)
        return u"another program"_s;
    const QString name = programName(pid);
    if (name == u"veyrath"_s)
        return u"the runner (veyrath, process %1)"_s.arg(pid);
    if (name == u"editor"_s || name == u"veyrath-editor"_s)
        return u"the editor (veyrath-editor, process %1)"_s.arg(pid);
    if (name.isEmpty())
        return u"process %1"_s.arg(pid);
    return u"the program %1 (process %2)"_s.arg(name).arg(pid);
}
