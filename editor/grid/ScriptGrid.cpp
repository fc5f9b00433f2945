// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/ScriptGrid.h"

#include "editor/grid/ColumnFit.h"
#include "editor/grid/RowSelector.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

ScriptGrid::ScriptGrid(QWidget* parent)
    : QTableView(parent)
    , m_delegate(new GridDelegate(this))
    , m_emptyText(new QAction(u"Set to empty text"_s, this))
{
    setItemDelegate(m_delegate);
    setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setDefaultSectionSize(140);
    setVerticalHeader(new RowSelector(*this));
    verticalHeader()->setHighlightSections(true);
    verticalHeader()->setSectionsMovable(false);
    verticalHeader()->setSectionsClickable(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setMinimumWidth(16);

    m_emptyText->setObjectName(u"SetEmptyText"_s);
    m_emptyText->setShortcut(Qt::CTRL | Qt::Key_Delete);
    m_emptyText->setShortcutContext(Qt::WidgetShortcut);
    connect(m_emptyText, &QAction::triggered, this, &ScriptGrid::setEmptyText);
    addAction(m_emptyText);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(m_delegate, &GridDelegate::refused, this, [this](qint64 id, int column) {
        // The refused editor is being closed right now; reopen it once that is over, on the
        // row that holds the ID then.
        QTimer::singleShot(0, this, [this, id, column] { reopen(id, column); });
    });
}

void ScriptGrid::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ScriptGrid::keepTopInView);
    static_cast<RowSelector*>(verticalHeader())->followCurrentRow();
    ColumnFit::fit(*this);
}

void ScriptGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (std::exchange(m_painted, true))
        return;
    // The rest of a large file's rows and the whole-file read for damage wait until the
    // author sees the first rows; a change asks for both first in any case, so a damaged
    // file is named before anything is written.
    if (auto* records = qobject_cast<RecordModel*>(model()))
        QTimer::singleShot(0, records, [records] { records->readRestInBackground(); });
}

void ScriptGrid::reopen(qint64 id, int column)
{
    const auto* records = qobject_cast<const RecordModel*>(model());
    const int row = records ? records->rows().rowOf(id) : -1;
    if (row < 0) {
        if (const std::optional<GridDelegate::Draft> draft = m_delegate->takeDraft())
            tellLost(*draft);
        return;
    }
    const QModelIndex index = model()->index(row, column);
    setCurrentIndex(index);
    scrollTo(index);
    edit(index);
}

void ScriptGrid::tellLost(const GridDelegate::Draft& draft)
{
    const auto* records = qobject_cast<const RecordModel*>(model());
    if (!records)
        return;
    const QString message =
        ScriptError(records->table().fileName(),
                    u"another program deleted this row while you were typing in it"_s, draft.number,
                    records->layout().columns.value(draft.column))
            .message();
    // Not from inside the change that removes the row: a message waits in an event loop.
    QTimer::singleShot(0, this,
                       [this, message, text = draft.text] { Q_EMIT typedTextLost(message, text); });
}

void ScriptGrid::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    if (const std::optional<GridDelegate::Draft> draft =
            m_delegate->typedInRows(model(), start, end))
        tellLost(*draft);
    m_keptTop.reset();
    if (const int top = rowAt(0); top > end && start <= end)
        m_keptTop = TopRow{top - (end - start + 1), rowViewportPosition(top)};
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void ScriptGrid::keepTopInView()
{
    const std::optional<TopRow> kept = std::exchange(m_keptTop, std::nullopt);
    if (!kept)
        return;
    const int row = kept->row;
    // The scroll position counts rows (or pixels) from the top, so it would otherwise stay
    // where it was while the rows under it moved up.
    verticalScrollBar()->setValue(verticalScrollMode() == ScrollPerItem
                                      ? row
                                      : verticalHeader()->sectionPosition(row) - kept->offset);
}

void ScriptGrid::reset()
{
    const std::optional<GridDelegate::Draft> draft = m_delegate->typedText();
    QTableView::reset();
    if (!draft)
        return;
    auto* records = qobject_cast<RecordModel*>(model());
    // The file is lost: the text goes with the rest of what was not saved, told once.
    if (records && !records->lostReason().isEmpty()) {
        records->keepTyping(draft->column, draft->text);
        return;
    }
    // The rows were listed afresh; the text goes on in its row, wherever that is now.
    if (records && records->rows().rowOf(draft->id) >= 0) {
        m_delegate->keepDraft(*draft);
        QTimer::singleShot(0, this,
                           [this, id = draft->id, column = draft->column] { reopen(id, column); });
    } else {
        tellLost(*draft);
    }
}

void ScriptGrid::keyPressEvent(QKeyEvent* event)
{
    // The view opens an editor only for keys that type something; Backspace types nothing.
    if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier &&
        state() != EditingState && edit(currentIndex(), AnyKeyPressed, event))
        return;
    QTableView::keyPressEvent(event);
}

void ScriptGrid::setEmptyText()
{
    auto* records = qobject_cast<RecordModel*>(model());
    if (!records)
        return;
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid())
        cells << currentIndex();
    records->setEmptyText(cells);
}

bool ScriptGrid::finishEditing()
{
    return m_delegate->finishEditing();
}

void ScriptGrid::dropEditing()
{
    m_delegate->dropEditing();
}
