// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/FindDialog.h"

#include "editor/commands/CellFinder.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

FindDialog::FindDialog(CellFinder& finder, QWidget* parent)
    : QDialog(parent)
    , m_finder(&finder)
    , m_text(new QLineEdit(this))
    , m_replaceLabel(new QLabel(u"Re&place with:"_s, this))
    , m_replacement(new QLineEdit(this))
    , m_matchCase(new QCheckBox(u"Match &case"_s, this))
    , m_wholeCell(new QCheckBox(u"&Whole cell"_s, this))
    , m_replace(new QPushButton(u"&Replace"_s, this))
    , m_replaceAll(new QPushButton(u"Replace &All"_s, this))
{
    setObjectName(u"FindDialog"_s);
    setModal(false);
    m_text->setObjectName(u"FindText"_s);
    m_replacement->setObjectName(u"ReplaceText"_s);
    m_matchCase->setObjectName(u"MatchCase"_s);
    m_wholeCell->setObjectName(u"WholeCell"_s);
    m_replace->setObjectName(u"ReplaceOne"_s);
    m_replaceAll->setObjectName(u"ReplaceAll"_s);

    auto* fields = new QFormLayout;
    auto* textLabel = new QLabel(u"Fi&nd what:"_s, this);
    textLabel->setBuddy(m_text);
    m_replaceLabel->setBuddy(m_replacement);
    fields->addRow(textLabel, m_text);
    fields->addRow(m_replaceLabel, m_replacement);
    fields->addRow(m_matchCase);
    fields->addRow(m_wholeCell);

    auto* buttons = new QDialogButtonBox(this);
    auto* next = buttons->addButton(u"Find &Next"_s, QDialogButtonBox::ActionRole);
    next->setObjectName(u"FindNext"_s);
    next->setDefault(true);
    auto* previous = buttons->addButton(u"Find &Previous"_s, QDialogButtonBox::ActionRole);
    previous->setObjectName(u"FindPrevious"_s);
    buttons->addButton(m_replace, QDialogButtonBox::ActionRole);
    buttons->addButton(m_replaceAll, QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close)->setObjectName(u"CloseFind"_s);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    connect(next, &QPushButton::clicked, this, [this] {
        takeOptions();
        m_finder->findNext();
    });
    connect(previous, &QPushButton::clicked, this, [this] {
        takeOptions();
        m_finder->findPrevious();
    });
    connect(m_replace, &QPushButton::clicked, this, [this] {
        takeOptions();
        m_finder->replace(m_replacement->text());
    });
    connect(m_replaceAll, &QPushButton::clicked, this, [this] {
        takeOptions();
        m_finder->replaceAll(m_replacement->text());
    });

    // F3 in the window looks for what is typed here, with these options.
    connect(m_text, &QLineEdit::textChanged, this, &FindDialog::takeOptions);
    connect(m_matchCase, &QCheckBox::toggled, this, &FindDialog::takeOptions);
    connect(m_wholeCell, &QCheckBox::toggled, this, &FindDialog::takeOptions);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
}

void FindDialog::takeOptions()
{
    m_finder->setOptions({m_text->text(), m_matchCase->isChecked(), m_wholeCell->isChecked()});
}

void FindDialog::show(bool replacing)
{
    setWindowTitle(replacing ? u"Replace"_s : u"Find"_s);
    m_replaceLabel->setVisible(replacing);
    m_replacement->setVisible(replacing);
    m_replace->setVisible(replacing);
    m_replaceAll->setVisible(replacing);
    QDialog::show();
    raise();
    activateWindow();
    m_text->setFocus();
    m_text->selectAll();
}

void FindDialog::showFind()
{
    show(false);
}

void FindDialog::showReplace()
{
    show(true);
}
