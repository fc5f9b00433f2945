// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/model/RecordModel.h"

#include <QList>
#include <QPointer>
#include <QUndoCommand>

// Fields written into one or more script files as one step of the author's: a saved edit,
// a paste, a replacement. Undoing writes each field back as the file held it, redoing
// writes it again; either is the compared write of a save, so a field another program
// changed meanwhile is told and left alone, and other fields of the row, such as the
// runner's count, keep what they hold. A step that could not be done whole leaves the
// history.
class FieldStep : public QUndoCommand {
public:
    struct Part {
        QPointer<RecordModel> model;
        quint64 generation = 0;     // the model's file the step was done in
        RecordModel::Fields fields; // base: before the step, value: after it
    };

    // The step has been done already when it is made; `applying` is set while it writes.
    FieldStep(const QString& text, bool& applying);

    void add(RecordModel* model, const RecordModel::Fields& fields);
    bool isEmpty() const { return m_parts.isEmpty(); }

    void undo() override;
    void redo() override;

private:
    bool write(bool back);

    QList<Part> m_parts;
    bool* m_applying;
    bool m_done = true;
};
