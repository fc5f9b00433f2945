// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/model/RecordModel.h"

#include <optional>

// Writes the author's steps into a model's file at once, past the edits it holds: undoing
// and redoing them, and replacing. Each write is the compared write of a save, and whatever
// cannot be done is told through the model's failed().
class RecordSteps {
public:
    // The changes that reached the file, each with the value it held before as its base.
    static RecordModel::Fields writtenFields(const RecordModel::Fields& asked,
                                             const QHash<qint64, RecordStore::Written>& written);

    // Writes each field only if it still holds its base; a field changed elsewhere since is
    // left as it is. False when anything was not written.
    static bool writeBack(RecordModel& model, const RecordModel::Fields& rows);
    // Deletes the row with the given ID and returns what it held; nullopt when it is gone.
    static std::optional<QVariantList> takeRow(RecordModel& model, qint64 id);
    // Puts a row back under its own ID and shows it at `row`; false when it cannot be.
    static bool putBackRow(RecordModel& model, qint64 id, int row, const QVariantList& values);

private:
    // Shows what writes left in the file, without looking up each row when there are many.
    static void showWritten(RecordModel& model, const QHash<qint64, RecordStore::Written>& written);
};
