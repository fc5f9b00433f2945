// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class ServerConnection;
struct TableLayout;

// The four script tables as a server holds them: one schema, a table named after each file
// ("basic", "control", "double", "special") with "ID" first and then the file's own fields in
// the file's order, texts of at most 255 characters, a bigint count, and a trigger on each
// table that tells listeners (the editor) which row changed: channel the schema's name,
// payload "table ID".
class ServerSchema {
public:
    ServerSchema(ServerConnection& connection, const TableLayout& layout);

    // The table as SQL names it, quoted and with its schema: "veyrath"."special".
    QString sqlName() const;
    // The table as messages name it: veyrath.special.
    QString shownName() const;
    // The name ScriptErrors carry in place of a file's: special.
    QString name() const;

    // Throws ScriptError when the table is missing or not in the layout, in the words used
    // for a mis-laid file.
    void check() const;
    // Makes the table (and the schema and its trigger function, when missing) in one
    // transaction; refuses to replace a table that is there.
    void create() const;
    // Whether the schema holds anything under the table's name (see check() for whether it
    // is the table).
    bool exists() const;

private:
    [[noreturn]] void fail(const QString& reason) const;

    ServerConnection& m_connection;
    const TableLayout& m_layout;
};
