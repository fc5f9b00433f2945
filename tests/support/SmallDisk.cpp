// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/SmallDisk.h"

#include "tests/support/ToolRun.h"

#include <QDir>
#include <QProcess>
#include <QStorageInfo>

using namespace Qt::Literals::StringLiterals;

SmallDisk::SmallDisk(QString path)
    : m_path(std::move(path))
{
    QDir().mkpath(m_path);
    m_mounted = QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=300k"_s,
                                               u"tmpfs"_s, m_path}) == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        QProcess::execute(u"umount"_s, {m_path});
}

void SmallDisk::leave(qint64 room) const
{
    QStorageInfo disk(m_path);
    writeFile(m_path + u"/filler"_s, QByteArray(disk.bytesAvailable() - room, '\0'));
}
