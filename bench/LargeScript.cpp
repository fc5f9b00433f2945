// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bench/LargeScript.h"

#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

QMessageBox::StandardButton PrintedDialogs::message(QWidget*, const Message& message)
{
    std::printf("message: %s\n", qPrintable(message.text));
    return QMessageBox::Ok;
}

QString PrintedDialogs::text(QWidget*, const QString&, const QString&)
{
    return {};
}

void buildLargeScript(const QString& dir, int specialRows)
{
    for (const TableLayout* layout : TableLayout::all()) {
        auto table = ScriptTable::create(dir, *layout);
        const int count = layout == &TableLayout::special() ? specialRows : 20;
        table->writeTransaction([&] {
            for (int k = 1; k <= count; ++k) {
                QVariantList values;
                for (const QString& column : layout->columns)
                    values << (layout->isTextColumn(column)
                                   ? QVariant(u"%1 %2"_s.arg(column).arg(k))
                                   : QVariant((k * 7919) % 1000));
                table->insertRow(values);
            }
        });
    }
}
