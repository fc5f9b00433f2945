// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/RecordSource.h"

#include <QXmlStreamReader>
#include <memory>

class SharedStrings;

// The rows of one sheet of a spreadsheet file, read a row at a time from the zip as they are
// asked for. Row 1 is the header; its cells set how many fields every row has. An empty cell
// reads as a null, a text cell (also the formula ="") as a text, a number as the text it
// is written in. Rows without a value are left out, as blank lines of a CSV file are.
class SheetReader final : public RecordSource {
public:
    // Reads the sheet's part from `part`; `name` is the file and sheet as messages name them.
    SheetReader(std::unique_ptr<QIODevice> part, SharedStrings& strings, QString name);

    bool next(QVariantList& fields) override;
    QString name() const override { return m_name; }
    int place() const override { return m_row; }
    ScriptError::Place placeKind() const override { return ScriptError::Place::Row; }

private:
    QVariant readCell(int& column);
    [[noreturn]] void fail(const QString& reason) const;

    std::unique_ptr<QIODevice> m_part;
    QXmlStreamReader m_xml;
    SharedStrings& m_strings;
    QString m_name;
    int m_row = 0;
    qsizetype m_width = -1; // the header's fields; unknown until it is read
};
