// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/model/RecordModel.h"

#include <QObject>
#include <functional>
#include <memory>

class FieldStep;
class QUndoCommand;
class QUndoStack;
class ReplaceStep;

// Makes the author's changes to the script files steps of one undo history: each saved
// edit, row added or deleted, and whatever is written between beginStep and endStep as one.
// What undoing and redoing write is not itself recorded.
class EditHistory : public QObject {
    Q_OBJECT

public:
    explicit EditHistory(QUndoStack& stack, QObject* parent = nullptr);
    ~EditHistory() override;

    void follow(RecordModel* model);
    // Runs before each undo and redo, to save what is still being typed: a step undone
    // must be the last one.
    void setSettle(std::function<void()> settle) { m_settle = std::move(settle); }

    void beginStep(const QString& text);
    void endStep();
    // Takes a step that is done already, such as a replacement over the whole script.
    void add(std::unique_ptr<QUndoCommand> step);

    void undo();
    void redo();

private:
    // The replacement over the whole script at `index` of the stack, if that step is one.
    ReplaceStep* replaceStepAt(int index) const;
    void record(RecordModel* model, const RecordModel::Fields& fields);

    QUndoStack* m_stack;
    std::function<void()> m_settle;
    std::unique_ptr<FieldStep> m_open; // the step being gathered
    bool m_applying = false;
};
