// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/TableLayout.h"

#include <QList>
#include <QString>
#include <functional>
#include <map>
#include <memory>

class ScriptTable;
class ServerBuilder;
class WorkFolder;

// Builds script files in a hidden working folder inside the target folder and moves them into
// place only once all of them are complete, so that a failure at any point leaves the target
// folder as it was. The new files use a write-ahead log, and each leaves the working folder
// as one self-contained file. Throws ScriptError on every fault.
//
// A target that is a server's address is built there instead, in one transaction
// (ServerBuilder): the same all or nothing.
class ScriptBuilder {
public:
    enum class Existing { Refuse, Replace };

    // Builds the files of `layouts` (by default all four) in `dir`, creating `dir` when it is
    // missing (and removing it again when the files never come). With Refuse, fails at once
    // when any of those files is already there, adding `howToReplace` to the message when the
    // caller has a way; with Replace, when another program has one of them open. Either way
    // before anything is written.
    ScriptBuilder(QString dir, Existing existing,
                  QList<const TableLayout*> layouts = TableLayout::all(),
                  const QString& howToReplace = {});
    ~ScriptBuilder();
    ScriptBuilder(const ScriptBuilder&) = delete;
    ScriptBuilder& operator=(const ScriptBuilder&) = delete;

    // The new, initially empty table for `layout`, one of those being built.
    ScriptTable& table(const TableLayout& layout);
    // Runs `work`, which fills the new tables. A fault of the new files is thrown as the
    // working folder's trouble, which leaves the target folder's files as they were.
    void fill(const std::function<void()>& work);
    // Closes the new files, each complete in itself; they can then be read in workDir().
    void seal();
    QString workDir() const;
    // Seals the files and moves them into the target folder (any not filled is left empty).
    void commit();

private:
    void refuseFilesInUse() const;
    [[noreturn]] void failed(const std::exception_ptr& fault) const;

    QString m_dir;
    Existing m_existing;
    QList<const TableLayout*> m_layouts;
    std::unique_ptr<ServerBuilder> m_server;
    std::unique_ptr<WorkFolder> m_work;
    std::map<TableLayout::Kind, std::unique_ptr<ScriptTable>> m_tables;
    bool m_sealed = false;
};
