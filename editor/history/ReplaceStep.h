// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/history/StepRunner.h"
#include "editor/model/RecordModel.h"
#include "script/TextChanges.h"

#include <QList>
#include <QPointer>
#include <QUndoCommand>
#include <QWidget>
#include <functional>

// A replacement over the whole script as one step of the author's: thousands of text fields
// in one or more files, written, undone and redone in short steps while the window answers
// (see StepRunner). Every field is the compared write of a save, so a field another program
// changed meanwhile is named and left alone, and the rest of its row, such as the runner's
// count, is never touched.
//
// Stopped part-way, by the author or by a file another program holds too long, the step holds
// exactly the fields that are replaced by then, so that it still says what Undo takes back.
class ReplaceStep : public QUndoCommand {
public:
    struct Part {
        QPointer<RecordModel> model;
        TextChanges changes;
        quint64 generation = 0; // the model's file the step was done in (RecordModel::generation)
    };
    // What the author is told: a message in a box, and a line in the status bar.
    struct Report {
        std::function<void(const QString&)> tell;
        std::function<void(const QString&)> status;
    };

    ReplaceStep(const QString& text, QList<Part> parts, QWidget* window, Report report);

    qsizetype size() const;
    // Writes the replacement for the first time, the progress box saying what it is `doing`,
    // and keeps what was written, which size() then counts. False when it stopped part-way,
    // which the author has been told.
    bool writeFirst(const QString& doing);

    // Undoes (redoes) the step ahead of the history's own move, which then finds the work
    // done. False when it stopped part-way: the step then stays where it is, holding the
    // fields that still carry the replacement, and the history must not move.
    bool undoAhead();
    bool redoAhead();

    void undo() override;
    void redo() override;

private:
    // How far a run through the step got in each part.
    struct Run {
        StepRunner::Outcome outcome = StepRunner::Outcome::Done;
        std::optional<ScriptError> error; // what stopped the run, when something did
        QList<qsizetype> reached;         // the position after the last one written, by part
        QList<QList<qsizetype>> missed;   // fields another program changed meanwhile, named
        qsizetype written = 0;
        qsizetype missedCount = 0;
        qsizetype left = 0; // the fields the run did not reach

        bool isWhole() const { return left == 0; }
    };

    Run write(TextChanges::Way way, const QString& doing);
    // Keeps only the fields the run wrote, or only those it did not reach.
    void keepWritten(const Run& run);
    void keepLeft(const Run& run);
    // Names the first few fields another program changed, or whose row it deleted.
    QString describeMissed(const Run& run, TextChanges::Way way) const;
    void stopped(const Run& run, TextChanges::Way way, const QString& what);
    // An undo or redo the history asks for after the fact, when nothing was done ahead.
    void writeAsked(TextChanges::Way way);

    QList<Part> m_parts;
    QPointer<QWidget> m_window;
    Report m_report;
    bool m_ahead = false; // the work of the next undo() or redo() is done already
    bool m_done = true;   // the first redo() comes from the push, after writeFirst()
};
