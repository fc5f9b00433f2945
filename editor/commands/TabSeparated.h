// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Cell ranges as spreadsheets put them on the clipboard: rows ended by a newline, cells
// parted by a tab, and a cell holding a tab, a newline or a quote written in quotes, each
// quote doubled.
class TabSeparated {
public:
    static QString write(const QList<QStringList>& rows);
    // A trailing newline ends the last row rather than starting an empty one.
    static QList<QStringList> read(const QString& text);
};
