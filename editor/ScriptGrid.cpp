#include "editor/ScriptGrid.h"

#include "editor/GridDelegate.h"

#include <QHeaderView>
#include <QTimer>

ScriptGrid::ScriptGrid(QWidget* parent)
    : QTableView(parent)
    , m_delegate(new GridDelegate(this))
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
    verticalHeader()->setSectionsMovable(false);
    verticalHeader()->setSectionsClickable(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setMinimumWidth(16);

    connect(m_delegate, &GridDelegate::refused, this, [this](const QModelIndex& index) {
        // The refused editor is being closed right now; reopen it once that is over.
        const QPersistentModelIndex cell(index);
        QTimer::singleShot(0, this, [this, cell] { reopen(cell); });
    });
}

void ScriptGrid::reopen(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    scrollTo(index);
    edit(index);
}

bool ScriptGrid::finishEditing()
{
    return m_delegate->finishEditing();
}

void ScriptGrid::dropEditing()
{
    m_delegate->dropEditing();
}
