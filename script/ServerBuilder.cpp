// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ServerBuilder.h"

#include "script/ScriptError.h"
#include "script/ScriptLocation.h"
#include "script/ScriptTable.h"
#include "script/ServerConnection.h"
#include "script/ServerSchema.h"

#include <QSqlQuery>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

ServerBuilder::ServerBuilder(const QString& location, bool replace,
                             QList<const TableLayout*> layouts, const QString& howToReplace)
    : m_location(location)
    , m_layouts(std::move(layouts))
{
    const ScriptLocation parsed = ScriptLocation::parse(location);
    m_connection = ServerConnection::to(parsed);
    const QString first = m_layouts.isEmpty() ? QString() : m_layouts.first()->caption;
    m_connection->ensureOpen(first);
    QStringList found;
    for (const TableLayout* layout : std::as_const(m_layouts)) {
        if (ServerSchema(*m_connection, *layout).exists()) {
            m_existing << layout;
            found << layout->caption;
        }
    }
    if (!replace && !found.isEmpty())
        throw ScriptError::alreadyThere(found, u"table"_s, parsed.shown(), howToReplace);
    m_connection->begin(first);
    m_open = true;
}

ServerBuilder::~ServerBuilder()
{
    m_tables.clear();
    if (m_open) {
        try {
            m_connection->end({}, false);
        } catch (const ScriptError&) {
        }
    }
}

ScriptTable& ServerBuilder::table(const TableLayout& layout)
{
    if (!m_layouts.contains(&layout))
        throw ScriptError(layout.caption, u"this table is not among those being built"_s);
    auto& table = m_tables[layout.kind];
    if (table)
        return *table;
    if (!m_existing.contains(&layout)) {
        table = ScriptTable::create(m_location, layout);
        return *table;
    }
    // A table made elsewhere in another layout is named by the check, not emptied.
    table = ScriptTable::open(m_location, layout);
    table->exec(u"TRUNCATE %1 RESTART IDENTITY"_s.arg(table->sqlName()));
    return *table;
}

void ServerBuilder::commit()
{
    for (const TableLayout* layout : std::as_const(m_layouts))
        table(*layout);
    m_open = false;
    m_connection->end(m_layouts.isEmpty() ? QString() : m_layouts.first()->caption, true);
}
