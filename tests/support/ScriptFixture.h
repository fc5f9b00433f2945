// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/TableLayout.h"

#include <QTemporaryDir>
#include <QVariantList>

// A throw-away script made for one test: a working folder holding script files, or a schema
// of its own on the test server that ctest starts (see tests/support/test-server). For the
// server, SQL given to execute() names each table Table1 as in a file, and the key "ID" in
// quotes, so that one statement serves both stores.
class ScriptFixture {
public:
    enum class Store { Folder, Server };

    // A server script lives on the test server unless `socket` names another one's folder.
    explicit ScriptFixture(Store store = Store::Folder, QString socket = serverSocket());
    ~ScriptFixture();
    ScriptFixture(const ScriptFixture&) = delete;
    ScriptFixture& operator=(const ScriptFixture&) = delete;

    // The folder of the test server's socket; empty when the test runs outside ctest.
    static QString serverSocket();
    // Adds a "folder" and a "server" row with a column "store" to a data-driven test.
    static void addStores();

    Store store() const { return m_store; }
    // What the programs' messages call the table: its file ("special.mdb"), or on a server
    // the table ("special").
    QString name(const TableLayout& layout) const
    {
        return m_store == Store::Server ? layout.caption : layout.fileName;
    }
    // Where the programs find this script: the folder, or the server address.
    QString dir() const { return m_location; }
    QString path(const TableLayout& layout) const;
    // The server address as another role would give it.
    QString locationAs(const QString& user) const;
    const QString& schema() const { return m_schema; }
    // The folder of the socket of the server this script is on.
    const QString& socket() const { return m_socket; }
    // Runs SQL on the test server as its superuser, outside any script table.
    void serverExecute(const QString& sql) const;
    // The first column of what a query on the test server gives, as its superuser.
    QVariantList serverValues(const QString& sql) const;

    // Creates the file with the given rows (values for layout.columns, without ID).
    void create(const TableLayout& layout, const QList<QVariantList>& rows = {}) const;
    // Creates the file with `count` rows whose lines read "<prefix> <k>".
    void createNumbered(const TableLayout& layout, int count, const QString& prefix = {}) const;
    // All four files, each at its capacity (special: six rows).
    void createFullScript() const;
    // Writes raw bytes as a script file, for files that are not what they should be.
    void writeBytes(const TableLayout& layout, const QByteArray& bytes) const;
    // Runs SQL on the file through a connection of the test's own.
    void execute(const TableLayout& layout, const QString& sql) const;
    // SQLite's own verdict on the file: "ok" when sound.
    QString integrity(const TableLayout& layout) const;
    // Reads one column in ID order through a connection of the test's own.
    QVariantList column(const TableLayout& layout, const QString& name) const;

    // One row of a layout whose every text field reads "<prefix> <k>" and whose count is 0.
    static QVariantList numberedRow(const TableLayout& layout, int k, const QString& prefix = {});
    // What stands at `path`, to show it was left as it was: a hash of a file's bytes, or what
    // stands there instead of a readable file.
    static QByteArray fingerprint(const QString& path);
    // Spoils the first table page past the middle of a file, where the rows are and the list
    // of IDs (read from the count index) is not; false when there is none to spoil.
    static bool spoilATablePage(const QString& path);

private:
    QString serverSql(const TableLayout& layout, const QString& sql) const;

    Store m_store;
    QString m_socket;
    QTemporaryDir m_dir;
    QString m_location;
    QString m_schema;
};

// Skips a server row of a data-driven test when no test server runs (outside ctest).
#define SKIP_WITHOUT_SERVER(store)                                                                 \
    do {                                                                                           \
        if ((store) == ScriptFixture::Store::Server && ScriptFixture::serverSocket().isEmpty())    \
            QSKIP("no test server: run the test through ctest, which starts one");                 \
    } while (false)

Q_DECLARE_METATYPE(ScriptFixture::Store)
