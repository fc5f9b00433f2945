// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/TableLayout.h"

#include <QTemporaryDir>
#include <QVariantList>

// A throw-away working folder holding script files made for one test.
class ScriptFixture {
public:
    ScriptFixture();

    QString dir() const { return m_dir.path(); }
    QString path(const TableLayout& layout) const;

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

private:
    QTemporaryDir m_dir;
};
