// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptFinding.h"

#include <QList>
#include <QVariantList>
#include <functional>

class ScriptTable;
struct TableLayout;

// Looks through the script files of a folder for everything that would make the runner stop
// (an error) or that it goes around or presents in a way the author probably did not mean (a
// warning), before a run. It reads only; every fault it meets, including files that do not
// open, is a finding.
//
// Rows are looked at one at a time as they are read (or, for an import, as they are
// written), and each finding is handed on as soon as it is known, so a table of any size is
// checked in constant memory: only the few rows a table loaded at start holds are kept, for
// the rules about its blocks.
class ScriptCheck {
public:
    using FindingSink = std::function<void(const ScriptFinding&)>;

    static QList<ScriptFinding> run(const QString& dir);
    static QList<ScriptFinding> run(const QString& dir, const QList<const TableLayout*>& layouts);
    static void run(const QString& dir, const QList<const TableLayout*>& layouts,
                    const FindingSink& sink);
    // The closing line of a report on `where`: "1 error and 2 warnings in DIR.", or "No
    // errors or warnings in DIR.".
    static QString summary(const QList<ScriptFinding>& findings, const QString& where);
    static QString summary(qsizetype errors, qsizetype warnings, const QString& where);

    // Checks the rows of one table of `layout`, told in ID order by addRow() and closed by
    // finish(); findings name the layout's file and the row's number.
    ScriptCheck(const TableLayout& layout, FindingSink sink);
    // The file cannot be written: said first, as it concerns the whole file.
    void readOnly();
    // `number` counts from 1; `values` are for layout.columns, in order.
    void addRow(int number, const QVariantList& values);
    // False once the rows still to come cannot change a finding, only the count of rows.
    bool wantsMoreRows() const;
    void finish(qint64 rowCount);

private:
    struct Row {
        int number;
        QVariantList values; // for layout.columns, in order
    };

    void checkTable(const ScriptTable& table);
    void checkRowCount(qsizetype count);
    void checkRow(const Row& row);
    void checkText(const Row& row, int index);
    void checkEmptyPair(const Row& row);
    void checkMarkers(const Row& row);
    void checkBlocks(const QString& column);
    void add(ScriptFinding::Severity severity, int row, const QString& field,
             const QString& reason);

    const TableLayout& m_layout;
    FindingSink m_sink;
    QString m_name;                             // what findings name: the file, or a server's table
    QString m_table = QStringLiteral("Table1"); // what the words call the table
    QList<Row> m_rows; // a table loaded at start only, up to one row past its capacity
};
