// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptCheck.h"

#include "script/PickRules.h"
#include "script/ScriptError.h"
#include "script/ScriptRow.h"
#include "script/ScriptTable.h"
#include "script/SpecialRules.h"
#include "script/TableLayout.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

using Severity = ScriptFinding::Severity;

const QString loadStops = u"the runner stops loading with \"Error during LoadData.\""_s;

bool loadedAtStart(const TableLayout& layout)
{
    return layout.capacity > 0;
}

// What an author may have meant as the marker: the runner takes only the exact word.
bool looksLikeMarker(const QString& text)
{
    return text.trimmed().compare(PickRules::marker(), Qt::CaseInsensitive) == 0;
}

} // namespace

ScriptCheck::ScriptCheck(const TableLayout& layout, FindingSink sink)
    : m_layout(layout)
    , m_sink(std::move(sink))
    , m_name(layout.fileName)
{
}

QList<ScriptFinding> ScriptCheck::run(const QString& dir)
{
    return run(dir, TableLayout::all());
}

QList<ScriptFinding> ScriptCheck::run(const QString& dir, const QList<const TableLayout*>& layouts)
{
    QList<ScriptFinding> findings;
    run(dir, layouts, [&findings](const ScriptFinding& finding) { findings << finding; });
    return findings;
}

void ScriptCheck::run(const QString& dir, const QList<const TableLayout*>& layouts,
                      const FindingSink& sink)
{
    for (const TableLayout* layout : layouts) {
        ScriptCheck check(*layout, sink);
        try {
            const auto table = ScriptTable::open(dir, *layout);
            check.checkTable(*table);
        } catch (const ScriptError& error) {
            sink(ScriptFinding{Severity::Error, error.file(), error.row(), error.field(),
                               error.reason() +
                                   (loadedAtStart(*layout)
                                        ? u"; "_s + loadStops
                                        : u"; the runner tells it when its window opens and asks "
                                          u"no special questions"_s)});
        }
    }
}

QString ScriptCheck::summary(const QList<ScriptFinding>& findings, const QString& where)
{
    const auto errors = std::count_if(findings.cbegin(), findings.cend(),
                                      [](const ScriptFinding& f) { return f.isError(); });
    return summary(errors, findings.size() - errors, where);
}

QString ScriptCheck::summary(qsizetype errors, qsizetype warnings, const QString& where)
{
    if (errors == 0 && warnings == 0)
        return u"No errors or warnings in %1."_s.arg(where);
    const auto counted = [](qsizetype n, const QString& one, const QString& many) {
        return u"%1 %2"_s.arg(n).arg(n == 1 ? one : many);
    };
    return u"%1 and %2 in %3."_s.arg(counted(errors, u"error"_s, u"errors"_s),
                                     counted(warnings, u"warning"_s, u"warnings"_s), where);
}

void ScriptCheck::add(Severity severity, int row, const QString& field, const QString& reason)
{
    m_sink(ScriptFinding{severity, m_name, row, field, reason});
}

void ScriptCheck::checkTable(const ScriptTable& table)
{
    // A server's table is named as the server names it, and is no file's Table1.
    m_name = table.fileName();
    if (table.isOnServer())
        m_table = u"the table"_s;
    if (table.isReadOnly())
        readOnly();
    // A table loaded at start is read only as far as its rules look; its count is asked
    // for when it holds more rows than the runner does.
    struct Enough {};
    qint64 count = 0;
    try {
        table.forEachRow(m_layout.columns, [&](const ScriptRow& row) {
            if (!wantsMoreRows())
                throw Enough{};
            addRow(row.number(), row.values());
            ++count;
        });
    } catch (const Enough&) {
        count = table.rowCount();
    }
    finish(count);
}

void ScriptCheck::readOnly()
{
    if (m_layout.kind == TableLayout::Kind::Special)
        add(Severity::Warning, 0, {},
            u"the file cannot be written, so the runner cannot count a Yes: it tells that the "
            u"Yes was not counted and goes on"_s);
}

bool ScriptCheck::wantsMoreRows() const
{
    return !loadedAtStart(m_layout) || m_rows.size() <= m_layout.capacity;
}

void ScriptCheck::addRow(int number, const QVariantList& values)
{
    // The rows of the special table are checked as they come; those of a table loaded at
    // start wait for its count, which is told first.
    if (!loadedAtStart(m_layout))
        checkRow(Row{number, values});
    else if (wantsMoreRows())
        m_rows << Row{number, values};
}

void ScriptCheck::finish(qint64 rowCount)
{
    checkRowCount(rowCount);
    for (const Row& row : std::as_const(m_rows)) {
        // Rows past the capacity are never loaded: the load has already failed at the first.
        if (row.number > m_layout.capacity)
            break;
        checkRow(row);
    }
    if (const QString column = PickRules::markerColumn(m_layout); !column.isEmpty())
        checkBlocks(column);
    m_rows.clear();
}

void ScriptCheck::checkRowCount(qsizetype count)
{
    const int capacity = m_layout.capacity;
    if (count == 0) {
        if (loadedAtStart(m_layout))
            add(Severity::Error, 0, {}, m_table + u" has no rows, so "_s + loadStops);
        else
            add(Severity::Warning, 0, {},
                m_table + u" has no rows, so the special-case step has nothing to ask; the "
                          u"runner tells it once per run and goes on"_s);
    } else if (loadedAtStart(m_layout) && count > capacity) {
        add(Severity::Error, capacity + 1, {},
            u"the runner holds at most %1 rows, so its loading stops here with \"Error during "
            u"LoadData.\" (%2 has %3 rows)"_s.arg(capacity)
                .arg(m_table)
                .arg(count));
    } else if (loadedAtStart(m_layout) && count < capacity) {
        const QString range = count + 1 == capacity
                                  ? u"row %1"_s.arg(capacity)
                                  : u"rows %1 to %2"_s.arg(count + 1).arg(capacity);
        add(Severity::Warning, 0, {},
            u"%1 has %2 of %3 rows; the runner uses %4 as empty lines"_s.arg(m_table)
                .arg(count)
                .arg(capacity)
                .arg(range));
    }
}

void ScriptCheck::checkRow(const Row& row)
{
    for (int i = 0; i < m_layout.columns.size(); ++i) {
        const QString& column = m_layout.columns.at(i);
        const QVariant& value = row.values.at(i);
        if (m_layout.isTextColumn(column)) {
            checkText(row, i);
        } else if (!SpecialRules::canCount(value)) {
            add(Severity::Warning, row.number, column, SpecialRules::uncountedReason(value));
        } else if (SpecialRules::isNearLargest(value)) {
            add(Severity::Warning, row.number, column,
                value.toLongLong() == SpecialRules::largestCount
                    ? SpecialRules::uncountedReason(value)
                    : u"the count %1 is within %2 of %3, the largest the file holds; the runner "
                      u"stops counting there, so put a smaller number in it"_s
                          .arg(value.toLongLong())
                          .arg(SpecialRules::largestCount - value.toLongLong())
                          .arg(SpecialRules::largestCount));
        } else if (value.isNull()) {
            add(Severity::Warning, row.number, column,
                u"the count is null and stays null when the runner adds 1 to it, so this case "
                u"never moves up; put 0 in it"_s);
        }
    }
    checkEmptyPair(row);
    checkMarkers(row);
}

void ScriptCheck::checkEmptyPair(const Row& row)
{
    // One empty half is a way to write a pair; both empty leaves a slot that was never
    // written, as `init` makes them.
    if (m_layout.kind != TableLayout::Kind::Double)
        return;
    for (const QString& column : m_layout.lineColumns) {
        const QVariant& value = row.values.at(int(m_layout.columns.indexOf(column)));
        if (value.isNull() || value.typeId() == QMetaType::QByteArray ||
            !value.toString().isEmpty())
            return;
    }
    add(Severity::Warning, row.number, m_layout.lineColumns.first(),
        u"both texts of the pair are empty; the runner puts nothing around the answer it "
        u"repeats"_s);
}

void ScriptCheck::checkText(const Row& row, int index)
{
    const QString& column = m_layout.columns.at(index);
    const QVariant& value = row.values.at(index);
    const bool special = m_layout.kind == TableLayout::Kind::Special;
    const bool line = m_layout.lineColumns.contains(column);
    if (value.isNull()) {
        // A null follow-up prompt is the author's way to ask fewer of them: no fault.
        if (line && special && index + 1 == SpecialRules::questionPosition)
            add(Severity::Warning, row.number, column, SpecialRules::unaskedReason(index + 1));
        else if (line && !special)
            add(Severity::Error, row.number, column,
                u"the field is null, so %1; put a text in it, even an empty one"_s.arg(loadStops));
        return;
    }
    if (value.typeId() == QMetaType::QByteArray) {
        add(Severity::Error, row.number, column,
            u"the field holds binary data (a BLOB) where a text belongs: the programs show it "
            u"garbled and export refuses it; put a text in it"_s);
        return;
    }
    const QString text = value.toString();
    if (text.size() > TableLayout::maxTextLength)
        add(Severity::Warning, row.number, column,
            u"the text has %1 characters; the editor holds at most %2"_s.arg(text.size())
                .arg(TableLayout::maxTextLength));
    if (line && text.isEmpty() && m_layout.kind != TableLayout::Kind::Double)
        add(Severity::Warning, row.number, column,
            special && index + 1 == SpecialRules::questionPosition
                ? u"the question is empty; the runner asks an empty yes/no question"_s
            : special ? u"the prompt is empty; the runner asks it with an empty input box. To ask "
                        u"fewer follow-ups, make it null (Edit > Set to Null in the editor, or "
                        u"an empty spreadsheet cell)"_s
                      : u"the text is empty; the runner presents an empty line"_s);
}

void ScriptCheck::checkMarkers(const Row& row)
{
    const QString column = PickRules::markerColumn(m_layout);
    if (column.isEmpty())
        return;
    const int index = int(m_layout.columns.indexOf(column));
    const QString text = row.values.at(index).toString();
    if (PickRules::isVacant(text)) // the rest of a vacant slot is never looked at
        return;
    if (looksLikeMarker(text))
        add(Severity::Warning, row.number, column,
            u"\"%1\" is not the marker \"%2\" (these five letters exactly), so the runner draws "
            u"it and presents it as a line"_s.arg(text, PickRules::marker()));
    for (int i = index + 1; i < m_layout.columns.size(); ++i) {
        const QString other = row.values.at(i).toString();
        if (m_layout.lineColumns.contains(m_layout.columns.at(i)) && looksLikeMarker(other))
            add(Severity::Warning, row.number, m_layout.columns.at(i),
                u"the runner looks for the marker only in \"%1\", so it presents this \"%2\" as "
                u"part of the pair line"_s.arg(column, other));
    }
}

void ScriptCheck::checkBlocks(const QString& column)
{
    const int index = int(m_layout.columns.indexOf(column));
    for (int block = 0; block < PickRules::blockCount(m_layout); ++block) {
        const int first = PickRules::firstSlot(block);
        const int last = PickRules::lastSlot(block);
        QList<int> usable;
        for (int number = first; number <= last; ++number) {
            // A slot past the last row holds the empty text, which is not the marker.
            const bool vacant =
                number <= m_rows.size() &&
                PickRules::isVacant(m_rows.at(number - 1).values.at(index).toString());
            if (!vacant)
                usable << number;
        }
        if (usable.isEmpty())
            add(Severity::Error, first, column,
                u"block %1 (rows %2 to %3) holds only \"Empty\" markers, so every pick from it "
                u"ends in \"ERROR - Bad Script\""_s.arg(block)
                    .arg(first)
                    .arg(last));
        else if (usable.size() == 1)
            add(Severity::Warning, usable.first(), column,
                u"this is the only usable line of block %1 (rows %2 to %3); the others are "
                u"\"Empty\", so a pick from the block fails about 8% of the time with \"ERROR - "
                u"Bad Script\""_s.arg(block)
                    .arg(first)
                    .arg(last));
    }
}
