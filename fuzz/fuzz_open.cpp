// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Any file put where a script belongs: opened and read as each of the four tables, or
// refused with a ScriptError naming it. Nothing may crash, hang or write outside it.
#include "fuzz/FuzzSupport.h"
#include "script/ScriptError.h"
#include "script/ScriptRow.h"
#include "script/ScriptTable.h"
#include "script/SpecialCases.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
QTemporaryDir& folder()
{
    static int argc = 1;
    static char name[] = "fuzz_open";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    return dir;
}

void readAll(const TableLayout& layout, const QString& dir)
{
    auto table = ScriptTable::open(dir, layout);
    const qsizetype columns = layout.lineColumns.size();
    table->forEachRow(layout.lineColumns, [columns](const ScriptRow& row) {
        for (int i = 0; i < columns; ++i) {
            if (!row.isNull(i))
                (void)row.text(i);
        }
    });
    if (layout.kind == TableLayout::Kind::Special) {
        SpecialCases cases(std::move(table));
        for (; !cases.atEnd(); cases.moveNext()) {
            if (const auto row = cases.current())
                (void)row->fields.size();
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString dir = folder().path();
    for (const TableLayout* layout : TableLayout::all()) {
        const QString path = ScriptTable::pathIn(dir, *layout);
        for (const QString& leftover :
             {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")})
            QFile::remove(leftover);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(fuzzBytes(data, size));
        file.close();
        try {
            readAll(*layout, dir);
        } catch (const ScriptError&) {
        }
    }
    return 0;
}
