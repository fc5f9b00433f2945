// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptExport.h"

#include "script/CsvWriter.h"
#include "script/ScriptError.h"
#include "script/ScriptRow.h"
#include "script/ScriptTable.h"

using namespace Qt::Literals::StringLiterals;

QString ScriptExport::toCsv(const ScriptTable& table)
{
    const TableLayout& layout = table.layout();
    CsvWriter writer;
    writer.addHeader(layout.columns);
    table.forEachRow(layout.columns, [&](const ScriptRow& row) {
        QVariantList values;
        for (int i = 0; i < layout.columns.size(); ++i) {
            QVariant value = row.value(i);
            if (value.typeId() == QMetaType::QByteArray && !value.isNull())
                throw ScriptError(table.fileName(),
                                  u"the field holds binary data (a BLOB), which a CSV file "
                                  u"cannot carry as it is; nothing was exported"_s,
                                  row.number(), layout.columns.at(i));
            // A text field may hold anything SQLite accepts; writing it as quoted text keeps
            // commas and line breaks in a stray number from breaking the record.
            if (!value.isNull() && layout.isTextColumn(layout.columns.at(i)))
                value = value.toString();
            values << value;
        }
        writer.addRecord(values);
    });
    return writer.text();
}
