// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

class EditHistory;
class ScriptGrid;

// Copies a grid's selected cells to the clipboard as tab-separated text, and pastes such
// text at the current cell, as spreadsheets do. A paste is checked whole before any of it is
// taken, is saved at once and is one undo step.
class GridClipboard : public QObject {
    Q_OBJECT

public:
    explicit GridClipboard(EditHistory& history, QObject* parent = nullptr);

    void copy(ScriptGrid& grid);
    bool paste(ScriptGrid& grid);
    // Sets the selected cells to null, as a paste of one null over them: where a null is
    // nothing to ask (a follow-up prompt), or never read (a note).
    bool setNull(ScriptGrid& grid);

Q_SIGNALS:
    // A message for the author, naming file, row and field.
    void failed(const QString& message);

private:
    // Puts `rows` at the current cell, or one value over the whole selection, as the step
    // named `step`: checked whole first, saved at once. `done` is what messages say was not
    // done ("pasted").
    bool put(ScriptGrid& grid, QList<QList<std::optional<QString>>> rows, const QString& step,
             const QString& done);

    EditHistory* m_history;
};
