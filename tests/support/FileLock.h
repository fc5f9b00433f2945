// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSqlDatabase>
#include <QString>

class ScriptFixture;
struct TableLayout;

// Another program holding a lock on a script file until this object goes; or, for a script on
// the test server, on its table there.
class FileLock {
public:
    enum class Kind {
        Write,     // a write transaction: others may read but not write
        Exclusive, // exclusive locking mode: others may neither read nor write
    };
    FileLock(const QString& path, Kind kind);
    FileLock(const ScriptFixture& fx, const TableLayout& layout, Kind kind);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    void lockFile(const QString& path, Kind kind);

    QString m_name;
};
