// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/RecordSource.h"

#include <QXmlStreamReader>
#include <memory>

class SharedStrings;

// The rows of one sheet of a spreadsheet file, read a row at a time from the zip as they are
// asked for. The first row with a value is the header; its cells set how many fields every
// row has. An empty cell reads as a null, a text cell (also the formula ="") as a text, a
// number as the text it is written in. A row without a value between rows with values is a
// row of nulls; those after the last row with a value are no rows.
class SheetReader final : public RecordSource {
public:
    // Reads the sheet's part from `part`; `name` is the file and sheet as messages name them.
    SheetReader(std::unique_ptr<QIODevice> part, SharedStrings& strings, QString name);

    bool next(QVariantList& fields) override;
    QString name() const override { return m_name; }
    int place() const override { return m_row; }
    ScriptError::Place placeKind() const override { return ScriptError::Place::Row; }

private:
    // The next row with a value, numbered in m_reading; false at the end of the sheet.
    bool readRow(QVariantList& fields);
    QVariant readCell(int& column);
    [[noreturn]] void fail(const QString& reason) const;

    std::unique_ptr<QIODevice> m_part;
    QXmlStreamReader m_xml;
    SharedStrings& m_strings;
    QString m_name;
    int m_row = 0;     // the row last handed out
    int m_reading = 0; // the row last read from the sheet
    QVariantList m_next;
    bool m_waiting = false; // m_next holds a row read but not yet handed out
    qsizetype m_width = -1; // the header's fields; unknown until it is read
};
