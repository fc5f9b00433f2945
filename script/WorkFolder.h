// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QTemporaryDir;

// A hidden folder made inside a target folder, where new files are written in full before
// any of them is moved into the target, so that a failure at any point leaves the target as
// it was. The folder goes, with whatever is left in it, when this object does; so does the
// target itself when it was made for these files and they never came.
class WorkFolder {
public:
    // Makes `target` when it is missing. Throws ScriptError naming `target` when it cannot be
    // made or no folder can be made in it.
    explicit WorkFolder(QString target);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    QString path() const;
    QString filePath(const QString& name) const;

    // Throws a fault met while writing `name` here as this folder's trouble, not the target's:
    // says whether the disk is full, gives the system's own words, and that the target's
    // files were kept as they were.
    [[noreturn]] void fail(const QString& name, const QString& cause) const;

    // Puts every byte of the file `name`, written and closed here, on the disk, or fails as
    // fail() does: a write the system only buffered is not written yet.
    void makeDurable(const QString& name) const;

    // Moves the named files from here into the target. Without `replace` a file already in
    // the target is never replaced; with it, each replaced file is kept aside until all are
    // in place and put back if any move fails.
    void moveIn(const QStringList& names, bool replace) const;

private:
    void moveOne(const QString& name, bool replace) const;
    void removeMadeFolders() const;

    QString m_target;
    QStringList m_made; // the folders made for the target, outermost first
    std::unique_ptr<QTemporaryDir> m_dir;
    mutable bool m_delivered = false;
};
