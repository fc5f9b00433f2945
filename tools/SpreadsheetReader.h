// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tools/SharedStrings.h"
#include "tools/ZipArchive.h"

#include <QMap>
#include <QString>
#include <functional>
#include <memory>

class RecordSource;

// A spreadsheet file (.xlsx, as any spreadsheet program saves it), unpacked with minizip and
// read with Qt's XML stream reader: its sheets by name, each read a row at a time. Throws
// ScriptError naming the file on every fault.
class SpreadsheetReader {
public:
    explicit SpreadsheetReader(const QString& path);
    ~SpreadsheetReader();
    SpreadsheetReader(const SpreadsheetReader&) = delete;
    SpreadsheetReader& operator=(const SpreadsheetReader&) = delete;

    const QString& name() const { return m_name; }
    QStringList sheetNames() const { return m_parts.keys(); }
    bool hasSheet(const QString& sheet) const { return m_parts.contains(sheet); }
    // The records of `sheet`, read as they are asked for. One sheet is read at a time.
    std::unique_ptr<RecordSource> sheet(const QString& sheet);
    // The number of the last row `sheet` holds, found without reading its cells; -1 when its
    // part does not end as a sheet ends, as one cut short does.
    int lastRow(const QString& sheet);

private:
    struct Relation {
        QString type;
        QString target; // a path inside the file
    };
    // Where the relationships of `part` point, by id.
    QMap<QString, Relation> relations(const QString& part);
    static QString relatedOfType(const QMap<QString, Relation>& relations, const QString& typeEnd);
    // The part of `sheet`; throws ScriptError when the file has no sheet of that name.
    std::unique_ptr<QIODevice> openSheet(const QString& sheet) const;
    // Parts of the file are read as XML through this; `handle` sees each start element.
    void readPart(const QString& part, const std::function<void(class QXmlStreamReader&)>& handle);

    QString m_name;
    ZipArchive m_zip;
    QMap<QString, QString> m_parts; // sheet name -> its part
    SharedStrings m_strings;
};
