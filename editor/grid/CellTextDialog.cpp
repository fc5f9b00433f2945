// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/CellTextDialog.h"

#include "script/TableLayout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

CellTextDialog::CellTextDialog(const QString& title, const QString& text, bool readOnly,
                               QWidget* parent)
    : QDialog(parent)
    , m_text(new QPlainTextEdit(this))
    , m_count(new QLabel(this))
    , m_buttons(new QDialogButtonBox(this))
    , m_readOnly(readOnly)
{
    setObjectName(u"CellTextDialog"_s);
    setWindowTitle(title);
    m_text->setObjectName(u"CellText"_s);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text->setTabChangesFocus(true);
    m_text->setReadOnly(readOnly);
    m_text->setPlainText(text);
    m_count->setObjectName(u"CellTextCount"_s);
    m_count->setBuddy(m_text);
    m_buttons->setStandardButtons(readOnly ? QDialogButtonBox::Close
                                           : QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Return starts a new line in the text, so OK has a key of its own, as in other editors.
    auto* ok = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(ok, &QShortcut::activated, this, [this] {
        if (QPushButton* button = m_buttons->button(QDialogButtonBox::Ok);
            button && button->isEnabled())
            accept();
    });
    connect(m_text, &QPlainTextEdit::textChanged, this, &CellTextDialog::count);

    auto* column = new QVBoxLayout(this);
    column->addWidget(m_text, 1);
    column->addWidget(m_count);
    column->addWidget(m_buttons);
    const QFontMetrics metrics = fontMetrics();
    resize(metrics.averageCharWidth() * 64, metrics.lineSpacing() * 14);
    count();
    m_text->setFocus();
    m_text->moveCursor(QTextCursor::End);
}

QString CellTextDialog::text() const
{
    return m_text->toPlainText();
}

void CellTextDialog::setText(const QString& text)
{
    m_text->setPlainText(text);
    m_text->document()->setModified(true);
}

bool CellTextDialog::changed() const
{
    return m_text->document()->isModified();
}

QString CellTextDialog::countText() const
{
    return m_count->text();
}

void CellTextDialog::count()
{
    // Counted as the field's limit counts, in the same units.
    const qsizetype length = text().size();
    const qsizetype over = length - TableLayout::maxTextLength;
    m_count->setText(over > 0
                         ? u"%1 of %2 characters: %3 too many"_s.arg(length)
                               .arg(TableLayout::maxTextLength)
                               .arg(over)
                         : u"%1 of %2 characters"_s.arg(length).arg(TableLayout::maxTextLength));
    if (QPushButton* ok = m_buttons->button(QDialogButtonBox::Ok))
        ok->setEnabled(over <= 0 && !m_readOnly);
}
