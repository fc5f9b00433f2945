// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/GridDelegate.h"

#include "editor/grid/BlockRule.h"
#include "editor/grid/CellFit.h"
#include "editor/grid/CountBar.h"
#include "editor/model/RecordModel.h"
#include "script/TableLayout.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int tipLineLength = 60;
} // namespace

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    CountBar::paint(painter, option, index);
    QStyledItemDelegate::paint(painter, option, index);
    if (BlockRule::endsBlock(index))
        BlockRule::paint(painter, option.rect);
}

bool GridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                             const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (!CellFit::isCut(cell, index))
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // Broken into lines here: a tip wraps a long text only as rich text, and then into a
    // narrow column. Escaped, so a text that looks like markup shows as typed.
    QStringList lines;
    for (const QString& line : CellFit::lines(cell.text, tipLineLength))
        lines << line.toHtmlEscaped();
    QString tip = u"<p style='white-space:pre'>%1</p>"_s.arg(lines.join(u"<br>"_s));
    if (const QString note = index.data(Qt::ToolTipRole).toString(); !note.isEmpty())
        tip += u"<p>%1</p>"_s.arg(note.toHtmlEscaped());
    QToolTip::showText(event->globalPos(), tip, view, view->visualRect(index));
    return true;
}

bool GridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                               const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const auto* records = qobject_cast<const RecordModel*>(index.model());
    if (event->type() == QEvent::MouseButtonDblClick && records &&
        records->layout().isTextColumn(records->layout().columns.value(index.column()))) {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        if (CellFit::isCut(cell, index)) {
            Q_EMIT windowWanted(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

namespace {
// The row's ID for a grid over a script file, which holds its rows by ID.
qint64 rowId(const QModelIndex& index)
{
    const auto* records = qobject_cast<const RecordModel*>(index.model());
    return records ? records->rows().id(index.row()) : index.row();
}

int rowNumber(const QModelIndex& index)
{
    const auto* records = qobject_cast<const RecordModel*>(index.model());
    return records ? records->rows().number(index.row()) : index.row() + 1;
}

int rowOf(const QAbstractItemModel* model, qint64 id)
{
    const auto* records = qobject_cast<const RecordModel*>(model);
    return records ? records->rows().rowOf(id) : int(id);
}
} // namespace

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        auto* self = const_cast<GridDelegate*>(this);
        connect(line, &QLineEdit::textChanged, self, &GridDelegate::typing);
        connect(line, &QLineEdit::inputRejected, self, [self, line] {
            if (line->text().size() >= line->maxLength())
                Q_EMIT self->full();
        });
    }
    m_editor = editor;
    m_filled = false;
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    // Filled once, as it opens: a value arriving from the file later must not replace what
    // the author is typing.
    if (m_filled && editor == m_editor)
        return;
    m_filled = true;
    m_opened = {rowId(index), rowNumber(index), index.column(), {}, {}};
    const bool draft = m_draft && m_draft->id == m_opened.id && m_draft->column == m_opened.column;
    const QString text = draft ? m_draft->text : index.data(Qt::EditRole).toString();
    // Typing stops at the field's limit; a longer text another tool wrote is shown whole, as
    // a cut would look like an edit, and the model tells its length when it is left.
    line->setMaxLength(std::max<int>(TableLayout::maxTextLength, int(text.size())));
    if (draft) {
        line->setText(text);
        line->setModified(true);
        m_base = m_draft->base;
        m_draft.reset();
        // The view selects an opened editor's text whole, so that a key types over it; a text
        // handed back for correcting must not go with one key. What does not fit is what to
        // mend first.
        QTimer::singleShot(0, line, [line] {
            if (line->text().size() > TableLayout::maxTextLength)
                line->setSelection(TableLayout::maxTextLength,
                                   int(line->text().size()) - TableLayout::maxTextLength);
            else
                line->end(false);
        });
    } else {
        QStyledItemDelegate::setEditorData(editor, index);
        m_base = index.data(RecordModel::StoredValueRole);
    }
    m_openedText = line->text();
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const
{
    m_lastRefused = false;
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    // Leaving a cell untouched must not turn its row into an edit to save.
    if (!line->isModified() && line->text() == m_openedText)
        return;
    const QString text = line->text();
    // Taken before the model may open a box: the rows may move while it is open.
    Draft typed{rowId(index), rowNumber(index), index.column(), text, m_base};
    const QScopedValueRollback committing(m_committing, true);
    if (!model->setItemData(index,
                            {{Qt::EditRole, text}, {RecordModel::StoredValueRole, m_base}})) {
        m_lastRefused = true;
        m_draft = std::move(typed);
        Q_EMIT const_cast<GridDelegate*>(this)->refused(m_draft->id, m_draft->column);
    }
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event)
{
    // Clearing a cell that shows nothing, a null, still means the empty text.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (auto* line = qobject_cast<QLineEdit*>(object);
            line && (key == Qt::Key_Backspace || key == Qt::Key_Delete))
            line->setModified(true);
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

bool GridDelegate::finishEditing()
{
    if (!m_editor)
        return true;
    QWidget* editor = m_editor;
    m_lastRefused = false;
    Q_EMIT commitData(editor);
    Q_EMIT closeEditor(editor, NoHint);
    m_editor.clear();
    return !m_lastRefused;
}

void GridDelegate::dropEditing()
{
    if (!m_editor)
        return;
    QWidget* editor = m_editor;
    m_editor.clear();
    Q_EMIT closeEditor(editor, RevertModelCache);
}

std::optional<GridDelegate::Draft> GridDelegate::typed() const
{
    // An editor the view closed itself (Return, Escape) is hidden until it is deleted, and its
    // text has gone where the view sent it.
    const auto* line = qobject_cast<const QLineEdit*>(m_editor.data());
    if (!line || line->isHidden() || m_committing || !m_filled)
        return std::nullopt;
    if (!line->isModified() && line->text() == m_openedText)
        return std::nullopt;
    Draft draft = m_opened;
    draft.text = line->text();
    draft.base = m_base;
    return draft;
}

std::optional<GridDelegate::Draft> GridDelegate::typedInRows(const QAbstractItemModel* model,
                                                             int first, int last)
{
    std::optional<Draft> draft = typed();
    if (!draft)
        return std::nullopt;
    const int row = rowOf(model, draft->id);
    if (row < first || row > last)
        return std::nullopt;
    m_editor.clear();
    return draft;
}

std::optional<GridDelegate::Draft> GridDelegate::typedText()
{
    std::optional<Draft> draft = typed();
    if (draft)
        m_editor.clear();
    return draft;
}

std::optional<GridDelegate::Draft> GridDelegate::takeDraft()
{
    return std::exchange(m_draft, std::nullopt);
}
