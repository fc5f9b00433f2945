// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/history/FieldStep.h"

#include <QScopedValueRollback>
#include <algorithm>

FieldStep::FieldStep(const QString& text, bool& applying)
    : QUndoCommand(text)
    , m_applying(&applying)
{
}

void FieldStep::add(RecordModel* model, const RecordModel::Fields& fields)
{
    const auto part = std::find_if(m_parts.begin(), m_parts.end(),
                                   [model](const Part& p) { return p.model == model; });
    if (part == m_parts.end()) {
        m_parts << Part{model, model->generation(), fields};
        return;
    }
    // The same field written twice within a step keeps the value it held before the first.
    for (auto row = fields.cbegin(); row != fields.cend(); ++row) {
        QList<RecordStore::Change>& known = part->fields[row.key()];
        for (const RecordStore::Change& change : row.value()) {
            const auto same =
                std::find_if(known.begin(), known.end(), [&](const RecordStore::Change& c) {
                    return c.column == change.column;
                });
            if (same == known.end())
                known << change;
            else
                same->value = change.value;
        }
    }
}

bool FieldStep::write(bool back)
{
    const QScopedValueRollback applying(*m_applying, true);
    bool whole = true;
    // Undone in the opposite order to the one it was done in.
    const int count = int(m_parts.size());
    for (int i = 0; i < count; ++i) {
        const Part& part = m_parts.at(back ? count - 1 - i : i);
        if (!part.model) {
            whole = false;
            continue;
        }
        if (!part.model->isSameFile(part.generation)) {
            whole = false;
            continue;
        }
        RecordModel::Fields fields = part.fields;
        if (back) {
            for (QList<RecordStore::Change>& changes : fields) {
                for (RecordStore::Change& change : changes)
                    std::swap(change.base, change.value);
            }
        }
        whole = part.model->writeBack(fields) && whole;
    }
    return whole;
}

void FieldStep::undo()
{
    if (!write(true))
        setObsolete(true);
}

void FieldStep::redo()
{
    if (std::exchange(m_done, false))
        return;
    if (!write(false))
        setObsolete(true);
}
