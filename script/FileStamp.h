// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// Tells when a script file that stays under its name was written over from outside SQLite, as
// a backup copied over it is. Every program that writes through SQLite leaves a trace beside
// the file's own time and size: the data version other connections see, and the header of the
// write-ahead log's index; a file whose bytes change while neither does was written by
// something else. A deleted or replaced file is the identity check's (ScriptTable).
class FileStamp {
public:
    explicit FileStamp(QString path);

    // Takes the file's look as it is now: after this program wrote to it, `dataVersion` being
    // what the program's connection reads now.
    void renew(qint64 dataVersion);
    // Whether the file was written over since the last look. A change without a trace is
    // looked at once more before it counts, as a checkpoint writes the file a moment before
    // it marks the index.
    bool writtenOver(qint64 dataVersion);

private:
    struct Look {
        qint64 modified = 0; // nanoseconds
        qint64 size = -1;
        QByteArray index; // the head of the "-shm" file; empty without one
    };
    Look look() const;

    QString m_path;
    Look m_look;
    qint64 m_version = 0;
    bool m_suspect = false;
};
