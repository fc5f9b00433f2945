// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <list>

class RecordSink;
class SheetWriter;
struct TableLayout;
struct lxw_workbook;

// A spreadsheet file (.xlsx) written with libxlsxwriter, one sheet per table, each named after
// its table ("basic", "control", ...). Rows go to temporary files as they come and the file is
// put together at close(), so memory stays the same whatever the tables' size.
class SpreadsheetWriter {
public:
    // Starts the file at `path`, keeping the temporary files in `scratchDir`.
    SpreadsheetWriter(const QString& path, const QString& scratchDir);
    ~SpreadsheetWriter();
    SpreadsheetWriter(const SpreadsheetWriter&) = delete;
    SpreadsheetWriter& operator=(const SpreadsheetWriter&) = delete;

    // The next sheet, for the rows of `layout`'s table.
    RecordSink& addSheet(const TableLayout& layout);
    // Writes the file. Returns the reason when it cannot, or an empty string.
    QString close();

private:
    QByteArray m_path;
    QByteArray m_scratch;
    lxw_workbook* m_book;
    std::list<SheetWriter> m_sheets;
};
