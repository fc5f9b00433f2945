// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/ScriptGrid.h"

#include "editor/grid/ColumnFit.h"
#include "editor/grid/GridDelegate.h"
#include "editor/grid/RowSelector.h"
#include "editor/model/RecordModel.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
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

    connect(m_delegate, &GridDelegate::refused, this, [this](const QModelIndex& index) {
        // The refused editor is being closed right now; reopen it once that is over.
        const QPersistentModelIndex cell(index);
        QTimer::singleShot(0, this, [this, cell] { reopen(cell); });
    });
}

void ScriptGrid::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
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

void ScriptGrid::reopen(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    scrollTo(index);
    edit(index);
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
