// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/TabSeparated.h"

using namespace Qt::Literals::StringLiterals;

QString TabSeparated::write(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (const QString& cell : row) {
            if (cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r') ||
                cell.contains(u'"')) {
                QString quoted = cell;
                cells << u"\""_s + quoted.replace(u"\""_s, u"\"\""_s) + u"\""_s;
            } else {
                cells << cell;
            }
        }
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

QList<QStringList> TabSeparated::read(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool pending = false; // something of the current row has been read
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != u'"')
                cell += c;
            else if (i + 1 < text.size() && text.at(i + 1) == u'"')
                cell += text.at(++i);
            else
                quoted = false;
            continue;
        }
        if (c == u'"' && cell.isEmpty()) {
            quoted = true;
            pending = true;
        } else if (c == u'\t') {
            row << std::exchange(cell, {});
            pending = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            row << std::exchange(cell, {});
            rows << std::exchange(row, {});
            pending = false;
        } else {
            cell += c;
            pending = true;
        }
    }
    if (pending) {
        row << cell;
        rows << row;
    }
    return rows;
}
