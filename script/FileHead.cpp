// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/FileHead.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <unistd.h>
#endif

namespace {
#ifdef Q_OS_LINUX
// A descriptor of this process open on `target` (a canonical path), or -1.
int openDescriptor(const QByteArray& target)
{
    DIR* descriptors = ::opendir("/proc/self/fd");
    if (!descriptors)
        return -1;
    int found = -1;
    char link[4096];
    while (const dirent* entry = ::readdir(descriptors)) {
        const QByteArray name = QByteArray("/proc/self/fd/") + entry->d_name;
        const ssize_t length = ::readlink(name.constData(), link, sizeof link);
        if (length == target.size() && QByteArrayView(link, length) == target) {
            found = QByteArray(entry->d_name).toInt();
            break;
        }
    }
    ::closedir(descriptors);
    return found;
}
#endif
} // namespace

QByteArray FileHead::read(const QString& path, qsizetype bytes, Opening opening, QString* error)
{
#ifdef Q_OS_LINUX
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (const int fd = canonical.isEmpty() ? -1 : openDescriptor(QFile::encodeName(canonical));
        fd >= 0) {
        QByteArray head(bytes, Qt::Uninitialized);
        const ssize_t got = ::pread(fd, head.data(), size_t(bytes), 0);
        if (got >= 0) {
            head.truncate(got);
            return head;
        }
    }
#endif
    if (opening == Opening::Never)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    return file.read(bytes);
}
