// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QVariantList>

// veyrath-script run as an author runs it, and the files it leaves, for the tests of the tool.
struct ToolRun {
    int code = -1;
    QString err;
    QString out;

    static ToolRun tool(const QStringList& args);
    // The tool with every file it writes held to `kib` KiB, a write past that failing as on a
    // full disk (the signal that would end it is ignored, so the write returns an error).
    static ToolRun toolWithSmallFiles(const QStringList& args, int kib = 64);
};

QByteArray bytesOf(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
// Every entry of a folder with its bytes, hidden ones included: nothing added, nothing changed.
QMap<QString, QByteArray> contents(const QString& dir);
// The records of a CSV file as the import reads them.
QList<QVariantList> csvRecords(const QByteArray& csv);
