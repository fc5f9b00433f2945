// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/model/RecordModel.h"
#include "script/RecordStore.h"
#include "script/ScriptTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <algorithm>

// The special-case script that the editor's model edits while runners count Yes replies on
// the same rows, and what the edits left in it.
namespace SoakScript {
inline constexpr int rows = 50;

// Makes the special table of `rows` cases, each counted 0, at `script`.
inline void write(const QString& script)
{
    auto table = ScriptTable::create(script, TableLayout::special());
    table->writeTransaction([&] {
        for (int k = 1; k <= rows; ++k)
            table->insertRow({QStringLiteral("case %1").arg(k),
                              QStringLiteral("Question %1?").arg(k), 0, QStringLiteral("more"),
                              QStringLiteral("why?"), QStringLiteral("when?"),
                              QStringLiteral("where?")});
    });
}

// What the author typed, by row and field, and the longest a save took.
class Edits {
public:
    Edits()
    {
        const TableLayout& layout = TableLayout::special();
        for (int c = 0; c < layout.columns.size(); ++c) {
            if (layout.isTextColumn(layout.columns.at(c)))
                m_columns << c;
        }
    }

    // Edit `i`: a text typed into a field of a row, then the row left, as the grid saves.
    void make(RecordModel& model, int i)
    {
        const int row = i % rows;
        const int column = m_columns.at((i / rows) % m_columns.size());
        const QString text = QStringLiteral("edit %1").arg(i);
        QElapsedTimer save;
        save.start();
        model.setData(model.index(row, column), text);
        model.savePending();
        m_longestSaveMs = std::max(m_longestSaveMs, save.elapsed());
        m_typed.insert({row, column}, text);
        QCoreApplication::processEvents();
    }

    qint64 longestSaveMs() const { return m_longestSaveMs; }

    // Read back from the script: how many of the last texts typed into each field are not
    // there, and the sum of all counts.
    std::pair<int, qint64> lostAndCounted(const QString& script) const
    {
        auto table = ScriptTable::open(script, TableLayout::special());
        RecordStore store(*table);
        const QList<qint64> ids = store.ids(RecordStore::Order::ById);
        const auto values = store.read(ids);
        int lost = 0;
        for (auto cell = m_typed.cbegin(); cell != m_typed.cend(); ++cell) {
            if (values.value(ids.at(cell.key().first)).at(cell.key().second) != cell.value())
                ++lost;
        }
        const int yes = int(TableLayout::special().columns.indexOf(TableLayout::countColumn()));
        qint64 counted = 0;
        for (const QVariantList& row : values)
            counted += row.at(yes).toLongLong();
        return {lost, counted};
    }

private:
    QList<int> m_columns;
    QHash<QPair<int, int>, QString> m_typed;
    qint64 m_longestSaveMs = 0;
};
} // namespace SoakScript
