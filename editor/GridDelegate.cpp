#include "editor/GridDelegate.h"

#include <QLineEdit>

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    m_editor = editor;
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && m_draftIndex.isValid() && m_draftIndex == index) {
        line->setText(m_draft);
        m_draftIndex = QPersistentModelIndex();
        m_draft.clear();
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
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
    // Leaving a cell unchanged must not turn its row into an edit to save.
    if (line->text() == index.data(Qt::EditRole).toString())
        return;
    if (!model->setData(index, line->text(), Qt::EditRole)) {
        m_lastRefused = true;
        m_draft = line->text();
        m_draftIndex = index;
        Q_EMIT const_cast<GridDelegate*>(this)->refused(index);
    }
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
