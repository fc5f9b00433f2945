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
class ServerConnection;

// Builds the tables of a script held by a server in one transaction, so that a failure at any
// point leaves the server's script as it was: a command writes all its tables or none.
// Tables that are there are emptied in that transaction rather than made anew, so that the
// rights the roles hold on them stay. Throws ScriptError on every fault.
class ServerBuilder {
public:
    // Builds the tables of `layouts` in the script at `location`. Unless `replace`, fails at
    // once when any of them is there, adding `howToReplace` to the message when the caller has
    // a way; before anything is written either way.
    ServerBuilder(const QString& location, bool replace, QList<const TableLayout*> layouts,
                  const QString& howToReplace);
    // Rolls back whatever commit() did not keep.
    ~ServerBuilder();
    ServerBuilder(const ServerBuilder&) = delete;
    ServerBuilder& operator=(const ServerBuilder&) = delete;

    // The new, initially empty table for `layout`, one of those being built.
    ScriptTable& table(const TableLayout& layout);
    // Commits every table (any not filled stays empty).
    void commit();

private:
    QString m_location;
    QList<const TableLayout*> m_layouts;
    QList<const TableLayout*> m_existing;
    std::shared_ptr<ServerConnection> m_connection;
    std::map<TableLayout::Kind, std::unique_ptr<ScriptTable>> m_tables;
    bool m_open = false;
};
