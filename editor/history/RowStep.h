// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/model/RecordModel.h"

#include <QPointer>
#include <QUndoCommand>

// A row the author added or deleted, as one step. The row comes back under its own ID with
// the values it held when it went, in the place it was shown; a row another program deleted
// or whose ID another row took meanwhile is told, and the step leaves the history. A row is
// taken again only as the step left it: one another program wrote into since is deleted only
// when the author says so.
class RowStep : public QUndoCommand {
public:
    enum class Kind { Added, Deleted };

    // The step has been done already when it is made; `applying` is set while it writes.
    RowStep(Kind kind, RecordModel* model, qint64 id, int row, QVariantList values, bool& applying);

    void undo() override;
    void redo() override;

private:
    bool take();
    bool putBack();

    Kind m_kind;
    QPointer<RecordModel> m_model;
    quint64 m_generation;
    qint64 m_id;
    int m_row;
    QVariantList m_values;
    bool* m_applying;
    bool m_done = true;
};
