// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptFinding.h"

#include <QList>
#include <QVariantList>

class ScriptTable;
struct TableLayout;

// Looks through the script files of a folder for everything that would make the runner stop
// (an error) or that it goes around or presents in a way the author probably did not mean (a
// warning), before a run. It reads only; every fault it meets, including files that do not
// open, is a finding.
class ScriptCheck {
public:
    static QList<ScriptFinding> run(const QString& dir);
    static QList<ScriptFinding> run(const QString& dir, const QList<const TableLayout*>& layouts);
    // The closing line of a report on `where`: "1 error and 2 warnings in DIR.", or "No
    // errors or warnings in DIR.".
    static QString summary(const QList<ScriptFinding>& findings, const QString& where);

private:
    struct Row {
        int number;
        QVariantList values; // for layout.columns, in order
    };

    explicit ScriptCheck(const TableLayout& layout);
    void checkTable(const ScriptTable& table);
    void checkRowCount(qsizetype count);
    void checkRow(const Row& row);
    void checkText(const Row& row, int index);
    void checkMarkers(const Row& row);
    void checkBlocks(const QString& column);
    void add(ScriptFinding::Severity severity, int row, const QString& field,
             const QString& reason);

    const TableLayout& m_layout;
    QList<Row> m_rows;
    QList<ScriptFinding> m_findings;
};
