// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Any text offered for import: parsed, then carried into a table or refused with a
// ScriptError; what is read back equals what was taken.
#include "fuzz/FuzzSupport.h"
#include "script/CsvReader.h"
#include "script/CsvWriter.h"
#include "script/ScriptError.h"
#include "script/ScriptImport.h"
#include "script/ScriptTable.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

namespace {
struct Target {
    QTemporaryDir dir;
    std::unique_ptr<ScriptTable> table;
};

Target& target()
{
    static int argc = 1;
    static char name[] = "fuzz_csv";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Target* t = nullptr;
    if (!t) {
        t = new Target;
        t->table = ScriptTable::create(t->dir.path(), TableLayout::special());
        // Closed before Qt's own statics go, which a static Target would outlive.
        std::atexit([] { delete t; });
    }
    return *t;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = fuzzText(data, size);
    QList<QVariantList> records;
    CsvReader::Failure failure;
    if (CsvReader::parse(text, records, failure)) {
        // What the writer makes of the records reads back as the same records.
        CsvWriter writer;
        for (const QVariantList& record : records)
            writer.addRecord(record);
        QList<QVariantList> again;
        if (!CsvReader::parse(writer.text(), again, failure))
            std::abort();
        QList<QVariantList> kept = records;
        kept.removeIf([](const QVariantList& r) { return r.size() == 1 && r.first().isNull(); });
        again.removeIf([](const QVariantList& r) { return r.size() == 1 && r.first().isNull(); });
        if (again.size() != kept.size())
            std::abort();
    }

    ScriptTable& table = *target().table;
    try {
        ScriptImport::fromCsv(table, text, QStringLiteral("fuzz.csv"));
    } catch (const ScriptError&) {
    }
    table.exec(QStringLiteral("DELETE FROM Table1"));
    return 0;
}
