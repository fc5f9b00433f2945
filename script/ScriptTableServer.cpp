// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Opening a table of a script held by a server, and asking whether one is there; everything
// after that is ScriptTable's own.
#include "script/ScriptLocation.h"
#include "script/ScriptTable.h"
#include "script/ServerConnection.h"
#include "script/ServerSchema.h"

#include <QFileInfo>

bool ScriptTable::exists(const QString& dir, const TableLayout& layout)
{
    if (!ScriptLocation::isServer(dir))
        return QFileInfo::exists(pathIn(dir, layout));
    const auto connection = ServerConnection::to(ScriptLocation::parse(dir));
    connection->ensureOpen(layout.caption);
    return ServerSchema(*connection, layout).exists();
}

std::unique_ptr<ScriptTable> ScriptTable::onServer(const ScriptLocation& location,
                                                   const TableLayout& layout, bool create)
{
    std::unique_ptr<ScriptTable> table(new ScriptTable(layout, location.shown(), false));
    table->m_name = layout.caption;
    table->m_server = ServerConnection::to(location);
    table->m_schema = std::make_unique<ServerSchema>(*table->m_server, layout);
    // The server checks its own pages; there is nothing for the programs to read first.
    table->m_integrityKnown = true;
    table->m_server->ensureOpen(table->m_name);
    if (create)
        table->m_schema->create();
    table->m_schema->check();
    return table;
}
