// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptExport.h"

#include "script/RecordSink.h"
#include "script/ScriptError.h"
#include "script/ScriptRow.h"
#include "script/ScriptTable.h"

using namespace Qt::Literals::StringLiterals;

qint64 ScriptExport::write(const ScriptTable& table, RecordSink& sink)
{
    const TableLayout& layout = table.layout();
    QVariantList values;
    for (const QString& column : layout.columns)
        values << column;
    sink.addRecord(values);
    qint64 rows = 0;
    table.forEachRow(layout.columns, [&](const ScriptRow& row) {
        values.clear();
        for (int i = 0; i < layout.columns.size(); ++i) {
            QVariant value = row.value(i);
            if (value.typeId() == QMetaType::QByteArray && !value.isNull())
                throw ScriptError(table.fileName(),
                                  u"the field holds binary data (a BLOB), which a CSV file or "
                                  u"spreadsheet cannot carry as it is; nothing was exported"_s,
                                  row.number(), layout.columns.at(i));
            // A text field may hold anything SQLite accepts; writing it as text keeps commas
            // and line breaks in a stray number from breaking the record.
            if (!value.isNull() && layout.isTextColumn(layout.columns.at(i)))
                value = value.toString();
            values << value;
        }
        sink.addRecord(values);
        ++rows;
    });
    sink.finish();
    return rows;
}
