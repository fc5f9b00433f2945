// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIODevice>
#include <QString>
#include <memory>

// A zip file read with zlib's minizip, its entries handed out as devices that inflate as they
// are read, so that an entry of any size streams through. minizip reads one entry at a time:
// a device must be closed (or gone) before the next is asked for.
class ZipArchive {
public:
    explicit ZipArchive(const QString& path);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    bool contains(const QString& entry) const;
    // The entry named (letter case aside), open for reading; null when there is none.
    std::unique_ptr<QIODevice> open(const QString& entry) const;

private:
    void* m_zip; // minizip's unzFile
};
