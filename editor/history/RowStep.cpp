// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/history/RowStep.h"

#include <QScopedValueRollback>

using namespace Qt::Literals::StringLiterals;

RowStep::RowStep(Kind kind, RecordModel* model, qint64 id, int row, QVariantList values,
                 bool& applying)
    : QUndoCommand(kind == Kind::Added ? u"Add"_s : u"Delete"_s)
    , m_kind(kind)
    , m_model(model)
    , m_generation(model->generation())
    , m_id(id)
    , m_row(row)
    , m_values(std::move(values))
    , m_applying(&applying)
{
}

bool RowStep::take()
{
    if (!m_model || !m_model->isSameFile(m_generation))
        return false;
    const QScopedValueRollback applying(*m_applying, true);
    // Where the row is shown now, so that it comes back there.
    const int row = m_model->rows().rowOf(m_id);
    // Compared with what the row held when the author added it or put it back, as an edit's
    // undo compares, so that what another program wrote into it is not deleted unasked.
    std::optional<QVariantList> values = m_model->takeRow(m_id, m_values);
    if (!values)
        return false;
    m_values = std::move(*values);
    if (row >= 0)
        m_row = row;
    return true;
}

bool RowStep::putBack()
{
    if (!m_model || !m_model->isSameFile(m_generation))
        return false;
    const QScopedValueRollback applying(*m_applying, true);
    return m_model->putBackRow(m_id, m_row, m_values);
}

void RowStep::undo()
{
    if (!(m_kind == Kind::Added ? take() : putBack()))
        setObsolete(true);
}

void RowStep::redo()
{
    if (std::exchange(m_done, false))
        return;
    if (!(m_kind == Kind::Added ? putBack() : take()))
        setObsolete(true);
}
