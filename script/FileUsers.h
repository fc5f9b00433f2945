// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Which other program has a script file open, told from the locks SQLite itself takes on it.
//
// A connection to a file in write-ahead-log mode keeps a read lock on the file and on its
// "-shm" index for as long as it is open, so such a file is seen in use from the first read
// to the close. A file in rollback mode is locked only while a statement reads or writes it:
// between statements a program holding it open leaves no trace.
//
// Locks are POSIX record locks, which belong to a process: call this only while this process
// has no connection to the file, because closing the descriptor it looks through drops every
// lock this process holds on the file.
class FileUsers {
public:
    // The program holding a lock on `path` or its index, in words ("the runner (veyrath,
    // process 812)"), or an empty string when nobody holds one.
    static QString holder(const QString& path);
};
