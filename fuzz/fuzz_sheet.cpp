// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Any text offered as a spreadsheet's sheet or its table of texts: read through, or refused
// with a ScriptError, never a crash; every record read is as wide as the header.
#include "fuzz/FuzzSupport.h"
#include "script/ScriptError.h"
#include "tools/SharedStrings.h"
#include "tools/SheetReader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <cstdlib>
#include <memory>

namespace {
void application()
{
    static int argc = 1;
    static char name[] = "fuzz_sheet";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    application();
    const QByteArray bytes = fuzzBytes(data, size);
    SharedStrings strings;
    QBuffer table;
    table.setData(bytes);
    table.open(QIODevice::ReadOnly);
    if (strings.load(table).isEmpty()) {
        for (qint64 i = -1; i <= qMin<qint64>(strings.size(), 3); ++i)
            strings.at(i);
    }

    auto sheet = std::make_unique<QBuffer>();
    sheet->setData(bytes);
    sheet->open(QIODevice::ReadOnly);
    SheetReader reader(std::move(sheet), strings, QStringLiteral("fuzz.xlsx, sheet fuzz"));
    try {
        qsizetype width = -1;
        for (QVariantList record; reader.next(record);) {
            if (width < 0)
                width = record.size();
            if (record.size() != width)
                std::abort();
        }
    } catch (const ScriptError&) {
    }
    return 0;
}
