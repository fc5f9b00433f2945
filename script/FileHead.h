// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// Reads the first bytes of a file SQLite may hold open in this process, without costing it
// its locks. SQLite locks with POSIX locks, which the system drops for the whole process as
// soon as any descriptor of the file is closed: opening a script file or its index to read
// it and closing it again would leave the file free for another program to take for its own,
// to checkpoint and delete the log, or to empty the index under SQLite's feet (which ends this
// process with SIGBUS). Where the process already has the file open, its head is read through
// that descriptor, which is never closed here.
class FileHead {
public:
    enum class Opening {
        IfNotOpen, // no descriptor of it is open in this process: open it, read, close it
        Never,     // only through a descriptor already open; nothing otherwise
    };

    // The first `bytes` bytes, fewer for a shorter file; empty, with `error` set where given,
    // when the file cannot be read or (Opening::Never) is not open.
    static QByteArray read(const QString& path, qsizetype bytes, Opening opening,
                           QString* error = nullptr);
};
