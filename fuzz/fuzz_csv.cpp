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

#include <QBuffer>
#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
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
// Every record of `bytes`, or false when they are not well-formed.
bool readAll(QByteArray bytes, QList<QVariantList>& records)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, QStringLiteral("fuzz.csv"));
    records.clear();
    try {
        for (QVariantList record; reader.next(record);)
            records << record;
    } catch (const ScriptError&) {
        return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    QList<QVariantList> records;
    if (readAll(bytes, records)) {
        // What the writer makes of the records reads back as the same records, bytes that are
        // no UTF-8 aside: they have no form in a text file.
        records.removeIf([](const QVariantList& r) {
            return std::any_of(r.cbegin(), r.cend(), [](const QVariant& v) {
                return v.typeId() == QMetaType::QByteArray;
            });
        });
        QByteArray written;
        QBuffer buffer(&written);
        buffer.open(QIODevice::WriteOnly);
        CsvWriter writer(buffer, QStringLiteral("fuzz.csv"));
        for (const QVariantList& record : std::as_const(records))
            writer.addRecord(record);
        writer.finish();
        QList<QVariantList> again;
        if (!readAll(written, again) || again != records)
            std::abort();
    }
    const QString text = fuzzText(data, size);

    ScriptTable& table = *target().table;
    try {
        ScriptImport::fromCsv(table, text, QStringLiteral("fuzz.csv"));
    } catch (const ScriptError&) {
    }
    table.exec(QStringLiteral("DELETE FROM Table1"));
    return 0;
}
