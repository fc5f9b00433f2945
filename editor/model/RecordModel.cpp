// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What of RecordModel is the Qt adaptor: the cells and headers the grid reads, and what other
// programs changed meanwhile. The author's changes are in RecordModelChanges.cpp.
#include "editor/model/RecordModel.h"

#include "editor/model/BackgroundRead.h"
#include "editor/model/CellLook.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QFileInfo>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

RecordModel::RecordModel(std::unique_ptr<ScriptTable> table, QObject* parent)
    : QAbstractTableModel(parent)
    , m_table(std::move(table))
    , m_store(*m_table)
    , m_rows(m_store, *this)
    , m_dataVersion(m_store.dataVersion())
{
    const auto forgetLargest = [this] { m_largestCount.reset(); };
    connect(this, &QAbstractItemModel::dataChanged, this, forgetLargest);
    connect(this, &QAbstractItemModel::rowsRemoved, this, forgetLargest);
    connect(this, &QAbstractItemModel::rowsInserted, this, forgetLargest);
    connect(this, &QAbstractItemModel::modelReset, this, forgetLargest);
    m_poll.setInterval(pollInterval);
    connect(&m_poll, &QTimer::timeout, this, &RecordModel::poll);
    m_poll.start();
    // A server announces each change another program commits, so the look comes at once; the
    // poll above then only writes edits that wait and asks no statement of the server.
    m_store.watch(this, [this] { QTimer::singleShot(0, this, &RecordModel::poll); });
}

RecordModel::~RecordModel() = default;

bool RecordModel::isCell(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.row() < rowCount() &&
           index.column() < columnCount();
}

const TableLayout& RecordModel::layout() const
{
    return m_table->layout();
}

bool RecordModel::isReadOnly() const
{
    return m_table->isReadOnly() || m_damaged || !m_lost.isEmpty();
}

void RecordModel::completeRows()
{
    if (m_reading) {
        takeBackgroundRead();
        return;
    }
    try {
        m_rows.complete();
    } catch (const ScriptError& error) {
        reportReadFault(describeFile(error.reason()));
    }
}

void RecordModel::readRestInBackground()
{
    if (m_reading || (m_rows.isComplete() && m_table->integrityKnown()))
        return;
    if (m_table->isOnServer()) {
        completeRows();
        checkIntegrity();
        return;
    }
    m_reading = std::make_unique<BackgroundRead>(*m_table);
    connect(m_reading.get(), &BackgroundRead::done, this, [this] {
        if (m_reading)
            takeBackgroundRead();
    });
}

void RecordModel::takeBackgroundRead()
{
    const std::unique_ptr<BackgroundRead> reading = std::move(m_reading);
    BackgroundRead::Result read = reading->take();
    if (read.fault) {
        reportReadFault(describeFile(read.fault->reason()));
        return; // the next look tries again
    }
    m_rows.complete(std::move(read.ids));
    if (!read.damage)
        m_table->knowIntact();
    else if (!read.damage->isLocked())
        markDamaged(*read.damage);
}

void RecordModel::markDamaged(const ScriptError& error)
{
    m_damaged = true;
    Q_EMIT failed(error.message() + u"; its rows can be read here but not changed."_s);
    showAllAfresh();
}

bool RecordModel::checkIntegrity()
{
    if (m_reading)
        takeBackgroundRead();
    if (m_damaged)
        return false;
    try {
        m_table->checkIntegrity();
    } catch (const ScriptError& error) {
        if (error.isLocked())
            return true; // read when the file is free; the writes meet the same lock meanwhile
        markDamaged(error);
        return false;
    }
    return true;
}

qint64 RecordModel::largestCount() const
{
    if (!m_largestCount) {
        try {
            m_largestCount =
                layout().columns.contains(TableLayout::countColumn()) ? m_store.largestCount() : 0;
        } catch (const ScriptError&) {
            m_largestCount = 0; // drawn without scale; the cells' own reads tell the fault
        }
    }
    return *m_largestCount;
}

int RecordModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int RecordModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(layout().columns.size());
}

QString RecordModel::describe(const QString& reason, int row, const QString& field) const
{
    return ScriptError(m_table->fileName(), reason, m_rows.number(row), field).message();
}

QString RecordModel::describeFile(const QString& reason) const
{
    return ScriptError(m_table->fileName(), reason).message();
}

QString RecordModel::describeRows(const QString& reason, const QList<qint64>& ids) const
{
    QList<int> rows;
    for (qint64 id : ids)
        rows << m_rows.numberOf(id);
    std::sort(rows.begin(), rows.end());
    if (rows.size() == 1)
        return ScriptError(m_table->fileName(), reason, rows.first()).message();
    QStringList numbers;
    for (int row : rows)
        numbers << QString::number(row);
    const QString last = numbers.takeLast();
    return u"%1, rows %2 and %3: %4"_s.arg(m_table->fileName(), numbers.join(u", "_s), last,
                                           reason);
}

void RecordModel::reportReadFault(const QString& message) const
{
    // Reads happen while the grid paints, where no message may open; tell it once, later.
    if (m_readFaultReported)
        return;
    m_readFaultReported = true;
    auto* self = const_cast<RecordModel*>(this);
    QTimer::singleShot(0, self, [self, message] { Q_EMIT self->failed(message); });
}

const QVariantList* RecordModel::storedValues(int row) const
{
    try {
        return m_rows.values(row);
    } catch (const ScriptError& error) {
        reportReadFault(describe(error.reason(), row));
        return nullptr;
    }
}

QVariant RecordModel::data(const QModelIndex& index, int role) const
{
    if (!isCell(index))
        return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole && !layout().isTextColumn(layout().columns.at(column)))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    const PendingEdits::Cell* edit = m_edits.find(m_rows.id(index.row()), column);
    if (edit && role != StoredValueRole)
        return CellLook::cell(role, edit->value, true, edit->theirs);
    const QVariantList* stored = storedValues(index.row());
    if (!stored)
        return {};
    return role == StoredValueRole ? stored->at(column)
                                   : CellLook::cell(role, stored->at(column), false);
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return CellLook::selector(role, m_rows.number(section), isUnsaved(section));
    if (role != Qt::DisplayRole || section < 0 || section >= layout().columns.size())
        return {};
    return layout().columns.at(section);
}

Qt::ItemFlags RecordModel::flags(const QModelIndex& index) const
{
    if (!isCell(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (!isReadOnly())
        result |= Qt::ItemIsEditable;
    return result;
}

bool RecordModel::isUnsaved(int row) const
{
    return row >= 0 && row < rowCount() && m_edits.contains(m_rows.id(row));
}

void RecordModel::rowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    Q_EMIT headerDataChanged(Qt::Vertical, row, row);
}

void RecordModel::showValues(int row, const QVariantList& values)
{
    m_rows.keep(row, values);
    rowChanged(row);
}

void RecordModel::showAllAfresh()
{
    m_rows.forgetValues();
    if (const int rows = rowCount(); rows > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
        Q_EMIT headerDataChanged(Qt::Vertical, 0, rows - 1);
    }
}

void RecordModel::showStepWritten()
{
    showAllAfresh();
    Q_EMIT wrote();
}

void RecordModel::poll()
{
    // While the rest of the file is still read, the look waits for it rather than the window.
    if (m_busy || m_held || m_reading)
        return;
    if (!m_lost.isEmpty()) {
        lookForFile();
        return;
    }
    // Rows not yet listed would look like rows another program added.
    completeRows();
    if (const QList<qint64> waiting = m_edits.waitingRows(); !waiting.isEmpty())
        write(waiting, Attempt::Quiet);
    qint64 version = 0;
    try {
        version = m_store.dataVersion();
    } catch (const ScriptError&) {
        return; // the reads that follow tell what is wrong with the file
    }
    try {
        m_store.checkFile(version);
    } catch (const ScriptError& error) {
        loseFile(error, m_store.writtenOver());
        return;
    }
    if (version == m_dataVersion)
        return;
    m_dataVersion = version;
    try {
        // A row holding an edit stays until its save tells the author what became of it.
        m_rows.refresh([this](qint64 id) { return m_edits.contains(id); });
    } catch (const ScriptError&) {
        // The values below are read again all the same, and a read tells what is wrong.
    }
    // Values only: the rows keep their order, and a range of cells leaves the cell being
    // edited, the current cell, the selection and the scroll position as they are.
    showAllAfresh();
}

void RecordModel::loseFile(const ScriptError& error, bool writtenOver)
{
    m_lost = error.reason();
    m_fileThere = QFileInfo::exists(m_table->path());
    QStringList typed;
    QStringList texts;
    for (qint64 id : m_edits.rows()) {
        typed << m_edits.typed(id, layout().columns);
        texts << m_edits.texts(id);
    }
    m_edits = PendingEdits();
    // What the connection still holds belongs to the old file. A file written over under its
    // name is the same file to SQLite, which would write old pages into it: there the
    // connection is left alone until the program ends.
    if (!writtenOver)
        m_table->letGo();
    m_rows.relist(true); // an open cell editor hands its text over on the way
    for (const auto& [column, text] : std::exchange(m_typingAtLoss, {})) {
        typed << u"\"%1\": %2"_s.arg(layout().columns.value(column), CellLook::quoted(text));
        texts << text;
    }
    m_largestCount.reset();
    QString message = describeFile(m_lost + u", so nothing more is written to it here"_s);
    if (!typed.isEmpty())
        message += u"; what you typed and had not saved was %1"_s.arg(typed.join(u"; "_s));
    const bool canOpen = m_fileThere && !writtenOver;
    if (writtenOver)
        message += u". A copy put over a script in use mixes with what the programs holding it "
                   u"keep aside: close the runner and the editor, then put the copy in place "
                   u"again."_s;
    else if (canOpen)
        message += u". Open the file now at its place?"_s;
    else
        message += u". When a file is put back at its place, the editor offers to open it."_s;
    Q_EMIT fileLost(message, texts.join(u'\n'), canOpen);
}

void RecordModel::lookForFile()
{
    const bool there = QFileInfo::exists(m_table->path());
    const bool appeared = there && !m_fileThere;
    m_fileThere = there;
    if (appeared && !m_store.writtenOver())
        Q_EMIT fileLost(describeFile(u"a file is at its place again. Open it?"_s), {}, true);
}

bool RecordModel::reopen()
{
    const QFileInfo place(m_table->path());
    std::unique_ptr<ScriptTable> table;
    try {
        table = ScriptTable::open(place.absolutePath(), layout(), ScriptTable::Integrity::Deferred);
    } catch (const ScriptError& error) {
        Q_EMIT failed(error.message());
        return false;
    }
    m_table = std::move(table);
    m_store = RecordStore(*m_table);
    m_lost.clear();
    m_damaged = false;
    m_readFaultReported = false;
    m_largestCount.reset();
    ++m_generation;
    try {
        m_dataVersion = m_store.dataVersion();
        m_rows.relist();
    } catch (const ScriptError& error) {
        Q_EMIT failed(describeFile(error.reason()));
    }
    Q_EMIT wrote(); // what depends on the file's contents looks again
    return true;
}

bool RecordModel::isSameFile(quint64 generation)
{
    if (generation == m_generation)
        return true;
    Q_EMIT failed(describeFile(
        u"the file was opened afresh since this step, so the step is not done there"_s));
    return false;
}
