// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What of Form1 is telling and asking the author: the one place where the models' faults and
// questions become boxes, and where text typed for a place that is gone is kept.
#include "editor/Form1.h"
#include "editor/model/CellLook.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"
#include "windowkit/Dialogs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

using namespace Qt::Literals::StringLiterals;

void Form1::listenTo(RecordModel* model)
{
    connect(model, &RecordModel::failed, this, &Form1::tell);
    connect(model, &RecordModel::typedTextLost, this, &Form1::rescueText);
    connect(model, &RecordModel::fileLost, this,
            [this, model](const QString& message, const QString& typed, bool canOpen) {
                fileLost(model, message, typed, canOpen);
            });
    model->setConflictResolver([this](const QString& question) { return choose(question); });
    model->setConfirmation([this](const QString& question) {
        return m_dialogs.message(this, {QMessageBox::Question,
                                        windowTitle(),
                                        question,
                                        {},
                                        QMessageBox::Yes | QMessageBox::No}) == QMessageBox::Yes;
    });
}

void Form1::tell(const QString& message)
{
    if (m_holdMessages)
        m_heldMessages << message;
    else
        m_dialogs.message(this,
                          {QMessageBox::Warning, windowTitle(), message, {}, QMessageBox::Ok});
}

void Form1::rescueText(const QString& message, const QString& text)
{
    // The clipboard rather than a new row: it serves every tab, the rows of three of which
    // cannot be added to, and the author chooses where the text belongs.
    QGuiApplication::clipboard()->setText(text);
    tell(message + u"\n\nWhat you typed is on the clipboard: paste it (Ctrl+V) where it "
                   u"belongs."_s);
}

void Form1::fileLost(RecordModel* model, const QString& message, const QString& typed, bool canOpen)
{
    QString text = message;
    if (!typed.isEmpty()) {
        QGuiApplication::clipboard()->setText(typed);
        text += u"\n\nWhat you typed is on the clipboard."_s;
    }
    updateCommands();
    if (!canOpen) {
        tell(text);
        return;
    }
    if (m_dialogs.message(this, {QMessageBox::Question,
                                 windowTitle(),
                                 text,
                                 {},
                                 QMessageBox::Open | QMessageBox::Cancel}) == QMessageBox::Open)
        model->reopen();
    updateCommands();
}

RecordModel::Choice Form1::choose(const QString& question)
{
    // The box has no escape button: closing it is no answer, and both texts wait for one.
    const auto answer = m_dialogs.message(
        this, {QMessageBox::Question,
               windowTitle(),
               question,
               {},
               QMessageBox::Save | QMessageBox::Discard,
               {{QMessageBox::Save, u"&Keep mine"_s}, {QMessageBox::Discard, u"&Take theirs"_s}}});
    if (answer == QMessageBox::Save)
        return RecordModel::Choice::KeepMine;
    if (answer == QMessageBox::Discard)
        return RecordModel::Choice::TakeTheirs;
    return RecordModel::Choice::Undecided;
}

bool Form1::mayEnd()
{
    if (saveAll() || m_loseUnsaved)
        return true;
    QStringList files;
    for (RecordModel* model : m_models) {
        if (model && model->hasUnsavedEdits())
            files << model->table().fileName();
    }
    if (files.isEmpty())
        return true;
    const QString text = u"Some of what you typed in %1 is not saved; it is marked %2 in the "
                         u"grid. End the editor anyway, and lose it?"_s.arg(
                             files.join(u", "_s), CellLook::unsavedMark());
    m_loseUnsaved =
        m_dialogs.message(
            this,
            {QMessageBox::Warning, windowTitle(), text, {}, QMessageBox::Yes | QMessageBox::No}) ==
        QMessageBox::Yes;
    return m_loseUnsaved;
}
