// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// A small file system of its own that a test can fill, where the system allows mounting.
class SmallDisk {
public:
    explicit SmallDisk(QString path);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    // Fills the disk up to `room` bytes.
    void leave(qint64 room) const;

private:
    QString m_path;
    bool m_mounted = false;
};
