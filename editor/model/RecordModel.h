// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/model/PendingEdits.h"
#include "editor/model/RowList.h"
#include "script/RecordStore.h"

#include <QAbstractTableModel>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class BackgroundRead;
class ScriptError;
class ScriptTable;
struct TableLayout;

// The rows of one script file for a grid: one column per field after ID, named after it.
//
// The rows shown are a RowList, which holds only their IDs in full. Edits are held by row and
// field until saved, and a save writes only the fields the author changed, so another
// program's change to the rest of the row (the runner's count) is kept. What other programs
// write shows within about a second. Faults are never shown here: they are told
// through failed(), and a field changed both here and elsewhere is put to the resolver.
class RecordModel : public QAbstractTableModel, private RowList::Listener {
    Q_OBJECT

public:
    // A cell's value as the file held it when last read, null included. A cell editor asks
    // for it as it opens and hands it back with the typed text (setItemData), so that the
    // save compares with what the author saw.
    static constexpr int StoredValueRole = Qt::UserRole;
    static constexpr std::chrono::milliseconds pollInterval{1000};
    // How long what the author asked for (a save, an undo, a replacement's steps) waits for
    // another program's lock, in short tries.
    static constexpr std::chrono::milliseconds lockPatience{5000};
    static constexpr std::chrono::milliseconds lockRetry{100};

    enum class Choice { KeepMine, TakeTheirs, Undecided };
    // Fields by row ID, each with what the file held (base) and what it holds now (value).
    using Fields = QHash<qint64, QList<RecordStore::Change>>;
    // Gets a question naming file, row, field and both values; Undecided leaves the edit in
    // its cell, unsaved, to be asked again at the next save.
    using ConflictResolver = std::function<Choice(const QString& question)>;
    // Gets a yes-or-no question naming file and row; true goes ahead.
    using Confirmation = std::function<bool(const QString& question)>;

    // Throws ScriptError when the row list cannot be read.
    explicit RecordModel(std::unique_ptr<ScriptTable> table, QObject* parent = nullptr);
    ~RecordModel() override;

    const TableLayout& layout() const;
    bool isReadOnly() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Refuses, through failed(), a value its field does not accept; the edit is held for its
    // row until saved. A cleared text field holds the empty text, never a null.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // EditRole with StoredValueRole: the edit is compared, when saved, with that value.
    bool setItemData(const QModelIndex& index, const QMap<int, QVariant>& roles) override;
    // Puts the empty text into each text field among `cells`.
    void setEmptyText(const QModelIndexList& cells);
    // Puts a null into the field, as a null copied from the grid pastes; false when the file
    // cannot be changed.
    bool setNull(const QModelIndex& index);

    void setConflictResolver(ConflictResolver resolver) { m_resolver = std::move(resolver); }
    void setConfirmation(Confirmation confirm) { m_confirm = std::move(confirm); }

    // The rows as shown, with the number messages give each.
    const RowList& rows() const { return m_rows; }
    // The largest count of the file, for drawing counts to scale; 0 without counts.
    qint64 largestCount() const;
    // Reads the rest of a large file's row list, which opening leaves until the first rows
    // are shown; adding a row, sorting and the look for other programs' changes read it
    // first.
    void completeRows();
    // Starts reading the rest of the row list, and the whole file for damage, on a thread of
    // their own once the first rows show; completeRows() and checkIntegrity() wait for what
    // is still being read.
    void readRestInBackground();

    // Reads the whole file once for damage, if opening left that for later. A damaged file is
    // told through failed() and then only read. False when it is damaged.
    bool checkIntegrity();

    bool hasUnsavedEdits() const { return !m_edits.isEmpty(); }
    bool isUnsaved(int row) const;
    // Writes every edit. Returns false when some could not be written: each stays in its
    // cell, marked unsaved. Edits that meet a file another program holds are told once and
    // then written, without a word, as soon as the file is free.
    bool savePending();
    // Saves `row` at once and shows what the file holds.
    bool saveRow(int row);
    // Appends a row holding the file's defaults; the new row is the last one.
    bool addRow();
    bool deleteRow(int row);
    // Puts the rows in order of their count, most first, as the file now holds them. The
    // order then stays until the next sort: other programs' changes refresh only values.
    bool sortByCount();

    // The author's steps written at once, past the edits held: undoing and redoing them, and
    // replacing. Each write is the compared write of a save, and whatever cannot be done is
    // told through failed().
    //
    // Writes each field only if it still holds its base; a field changed elsewhere since is
    // left as it is. False when anything was not written.
    bool writeBack(const Fields& rows);
    // Deletes the row with the given ID and returns what it held; nullopt when it is gone or
    // stays. With `expected`, a row holding anything else is deleted only when the author,
    // asked, agrees: another program wrote into it meanwhile.
    std::optional<QVariantList> takeRow(qint64 id, const QVariantList& expected = {});
    // Puts a row back under its own ID and shows it at `row`; false when it cannot be.
    bool putBackRow(qint64 id, int row, const QVariantList& values);

    const ScriptTable& table() const { return *m_table; }

    // Why the file this model wrote to is lost to it (deleted, replaced, written over under its
    // name); empty while it is not. A lost file is only shown, never written.
    const QString& lostReason() const { return m_lost; }
    // While the rows of a lost file leave the grid: the text an open cell editor held in
    // `column`, told and kept with the rest of what was not saved.
    void keepTyping(int column, const QString& text) { m_typingAtLoss.append({column, text}); }
    // Opens the file now at the lost file's place; false, told, when it cannot be opened.
    bool reopen();
    // Counts the files this model has had open, so that a step of the author's is never done
    // in a file other than the one it was done in.
    quint64 generation() const { return m_generation; }
    // Whether the file of `generation` is still the one open; when not, tells that the step of
    // the author's done in it is not done here.
    bool isSameFile(quint64 generation);
    // Work over thousands of rows written past the model in short steps, such as a replacement
    // over the whole script and its undo: the store it writes through; hold() keeps the
    // model's own saves and its look for other programs' changes out of the way between the
    // steps, and showStepWritten() shows what a step wrote.
    RecordStore& store() { return m_store; }
    void hold(bool held) { m_held = held; }
    void showStepWritten();

Q_SIGNALS:
    // A message for the author naming file, row and field.
    void failed(const QString& message);
    // This program changed the file: a saved edit, a row added or deleted.
    void wrote();
    // The fields a save, a paste or a replacement wrote into the file.
    void saved(const RecordModel::Fields& fields);
    // The file was deleted or replaced under the program: `message` says so; `typed` is what
    // had not been saved, a field a line, for the author to keep; `canOpen` when a file is at
    // its place now, to be opened with reopen() if the author wants it.
    void fileLost(const QString& message, const QString& typed, bool canOpen);
    // Text typed for a row another program deleted before it was saved: the message names the
    // file, row and fields; `text` is what was typed, a field a line.
    void typedTextLost(const QString& message, const QString& text);
    // The author added or deleted a row.
    void rowAdded(qint64 id, int row, const QVariantList& values);
    void rowDeleted(qint64 id, int row, const QVariantList& values);

private:
    enum class Attempt { Told, Quiet };

    void beforeInsert(int first, int last) override { beginInsertRows({}, first, last); }
    void afterInsert() override { endInsertRows(); }
    void beforeRemove(int first, int last) override { beginRemoveRows({}, first, last); }
    void afterRemove() override { endRemoveRows(); }
    void beforeReset() override { beginResetModel(); }
    void afterReset() override { endResetModel(); }

    // The changes that reached the file, each with the value it held before as its base.
    static Fields writtenFields(const Fields& asked,
                                const QHash<qint64, RecordStore::Written>& written);
    bool isCell(const QModelIndex& index) const;
    void takeBackgroundRead();
    void markDamaged(const ScriptError& error);
    const QVariantList* storedValues(int row) const;
    // A null `text` with `asNull` stores a null; otherwise FieldRule decides what is stored.
    bool edit(const QModelIndex& index, const QString& text, std::optional<QVariant> base,
              bool asNull = false);
    bool write(const QList<qint64>& ids, Attempt attempt);
    QHash<qint64, RecordStore::Written> writeWaiting(const Fields& changes);
    bool settleConflict(qint64 id);
    // Asks whether to delete a row that holds `now` where the author's step left `expected`.
    bool agreeToTake(qint64 id, const QVariantList& expected, const QVariantList& now);
    void dropDeletedRow(qint64 id);
    bool showStoredRow(int row);
    void rowChanged(int row);
    void showValues(int row, const QVariantList& values);
    // Reads every value again as the grid next shows it, keeping the rows, the cell being
    // edited, the current cell, the selection and the scroll position as they are.
    void showAllAfresh();
    // Shows what writes past the edits left in the file, without looking up each row when
    // there are many.
    void showWritten(const QHash<qint64, RecordStore::Written>& written);
    // Writes edits waiting for the file, and shows what other programs changed.
    void poll();
    // Stops using a file that is no longer the one opened, keeping what was typed for the
    // author; told through fileLost().
    void loseFile(const ScriptError& error, bool writtenOver);
    // While the file is lost: offers a file put back at its place.
    void lookForFile();
    void reportReadFault(const QString& message) const;
    QString describe(const QString& reason, int row, const QString& field = {}) const;
    QString describeRows(const QString& reason, const QList<qint64>& ids) const;
    QString describeFile(const QString& reason) const;

    std::unique_ptr<ScriptTable> m_table;
    RecordStore m_store;
    RowList m_rows;
    mutable bool m_readFaultReported = false;
    PendingEdits m_edits;
    ConflictResolver m_resolver;
    Confirmation m_confirm;
    QTimer m_poll;
    qint64 m_dataVersion = 0;
    // A message or a question opens a window of its own, whose events must not start a second
    // save or a refresh halfway through a write.
    bool m_busy = false;
    bool m_held = false;
    bool m_damaged = false;
    QString m_lost;
    bool m_fileThere = true; // whether a file was at the lost file's place at the last look
    QList<std::pair<int, QString>> m_typingAtLoss;
    quint64 m_generation = 0;
    std::unique_ptr<BackgroundRead> m_reading;
    mutable std::optional<qint64> m_largestCount; // forgotten whenever values may change
};
