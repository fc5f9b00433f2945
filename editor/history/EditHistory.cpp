// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/history/EditHistory.h"

#include "editor/history/FieldStep.h"
#include "editor/history/ReplaceStep.h"
#include "editor/history/RowStep.h"
#include "script/TableLayout.h"
#include "windowkit/BusyCursor.h"

#include <QUndoStack>

using namespace Qt::Literals::StringLiterals;

EditHistory::EditHistory(QUndoStack& stack, QObject* parent)
    : QObject(parent)
    , m_stack(&stack)
{
}

EditHistory::~EditHistory() = default;

void EditHistory::follow(RecordModel* model)
{
    connect(model, &RecordModel::saved, this,
            [this, model](const RecordModel::Fields& fields) { record(model, fields); });
    connect(model, &RecordModel::rowAdded, this,
            [this, model](qint64 id, int row, const QVariantList& values) {
                if (!m_applying)
                    m_stack->push(
                        new RowStep(RowStep::Kind::Added, model, id, row, values, m_applying));
            });
    connect(model, &RecordModel::rowDeleted, this,
            [this, model](qint64 id, int row, const QVariantList& values) {
                if (!m_applying)
                    m_stack->push(
                        new RowStep(RowStep::Kind::Deleted, model, id, row, values, m_applying));
            });
}

void EditHistory::record(RecordModel* model, const RecordModel::Fields& fields)
{
    if (m_applying)
        return;
    if (m_open) {
        m_open->add(model, fields);
        return;
    }
    QString text = u"Edit"_s;
    if (fields.size() == 1 && fields.cbegin()->size() == 1)
        text = u"Edit of %1"_s.arg(model->layout().columns.at(fields.cbegin()->first().column));
    auto step = std::make_unique<FieldStep>(text, m_applying);
    step->add(model, fields);
    m_stack->push(step.release());
}

void EditHistory::beginStep(const QString& text)
{
    m_open = std::make_unique<FieldStep>(text, m_applying);
}

void EditHistory::endStep()
{
    std::unique_ptr<FieldStep> step = std::move(m_open);
    if (step && !step->isEmpty())
        m_stack->push(step.release());
}

void EditHistory::add(std::unique_ptr<QUndoCommand> step)
{
    m_stack->push(step.release());
}

ReplaceStep* EditHistory::replaceStepAt(int index) const
{
    // The stack hands its steps out as const; this history owns them all the same.
    return dynamic_cast<ReplaceStep*>(const_cast<QUndoCommand*>(m_stack->command(index)));
}

void EditHistory::undo()
{
    if (m_settle)
        m_settle();
    // A replacement over the whole script shows its own progress, and the author may stop it
    // part-way: the step then stays, holding what is still replaced.
    if (ReplaceStep* step = replaceStepAt(m_stack->index() - 1)) {
        if (step->undoAhead())
            m_stack->undo();
        return;
    }
    // Other steps may span thousands of rows too.
    const BusyCursor busy;
    m_stack->undo();
}

void EditHistory::redo()
{
    if (m_settle)
        m_settle();
    if (ReplaceStep* step = replaceStepAt(m_stack->index())) {
        if (step->redoAhead())
            m_stack->redo();
        return;
    }
    const BusyCursor busy;
    m_stack->redo();
}
