// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The shape of Table1 in one of the four script files. Column 0 is always the key "ID";
// `columns` lists the fields after it, by name and in order.
struct TableLayout {
    enum class Kind { Basic, Control, Double, Special };

    Kind kind;
    QString fileName;        // "basic.mdb"
    QString caption;         // what a person calls the table: "basic"
    QStringList columns;     // without ID
    QStringList lineColumns; // the columns the runner reads as text

    // Largest number of rows the runner can hold in memory; 0 when it keeps none.
    int capacity = 0;

    bool isTextColumn(const QString& column) const { return column != countColumn(); }
    static QString keyColumn() { return QStringLiteral("ID"); }
    static QString countColumn() { return QStringLiteral("Yes"); }

    static const TableLayout& basic();
    static const TableLayout& control();
    static const TableLayout& doubles();
    static const TableLayout& special();
    static const QList<const TableLayout*>& all();

    // Why a table whose columns are `found` (ID first) does not have this layout, in the same
    // words for a file and a server table, which `table` names; empty when it has.
    QString columnMismatch(const QStringList& found, const QString& table) const;

    // The longest text a text field accepts, as the editor enforces it.
    static constexpr int maxTextLength = 255;
    // The count column takes whole numbers written in at most this many characters.
    static constexpr int maxCountLength = 11;
};
