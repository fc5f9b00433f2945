// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/RecordSink.h"

#include <QString>
#include <QStringList>

struct lxw_worksheet;
struct lxw_format;

// One table as a sheet of a spreadsheet, a row at a time: every text a string cell in a
// column formatted as text (so that what the author types there stays text as well), the
// empty text as the formula ="" (a spreadsheet keeps no empty string cell of its own, and an
// empty cell is a null), counts as numbers, nulls as empty cells. A row of nulls is a row
// without cells, which keeps its place as long as a row with a value follows.
class SheetWriter final : public RecordSink {
public:
    struct Formats {
        lxw_format* header;
        lxw_format* text;
    };
    // `name` is the script file the rows come from, as messages name it; the first record is
    // the header.
    SheetWriter(lxw_worksheet* sheet, Formats formats, QString name);

    void addRecord(const QVariantList& values) override;
    // Refuses rows of nulls at the end of the table, which a sheet has no way to keep.
    void finish() override;

private:
    void writeText(int column, const QString& text, lxw_format* format);
    void check(int error, int column, const QString& text = {}) const;

    lxw_worksheet* m_sheet;
    Formats m_formats;
    QString m_name;
    QStringList m_header;
    quint32 m_row = 0;
    quint32 m_lastWithValue = 0;
};
