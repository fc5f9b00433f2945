// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The question cycle: loading the lines, the random picks, the steps and the finish.
#include "clock/Clock.h"
#include "engine/AgeAnswer.h"
#include "engine/BasicRow.h"
#include "engine/Conversation.h"
#include "engine/Presenter.h"
#include "engine/RandomSource.h"
#include "script/PickRules.h"
#include "script/ScriptError.h"
#include "script/ScriptRow.h"
#include "script/ScriptTable.h"

#include <cmath>
#include <limits>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace {
qint16 to16(int value)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw std::overflow_error("16-bit overflow");
    return qint16(value);
}
} // namespace

void Conversation::loadTable(const DataSource& source,
                             const std::function<void(int, const ScriptRow&)>& store)
{
    const TableLayout& layout = *source.layout;
    if (!source.table)
        throw ScriptError(source.name,
                          u"the %1 could not be opened (%2)"_s.arg(
                              source.onServer ? u"table"_s : u"file"_s, source.failure));
    int counter = 0;
    source.table->forEachRow(layout.lineColumns, [&](const ScriptRow& row) {
        ++counter;
        if (counter > layout.capacity)
            throw ScriptError(source.table->fileName(),
                              u"there are more rows than the %1 the runner can "
                              u"hold"_s.arg(layout.capacity),
                              counter);
        store(counter, row);
    });
    if (counter == 0)
        throw ScriptError(source.table->fileName(), u"the table has no rows"_s);
}

void Conversation::LoadData()
{
    try {
        loadTable(Data1,
                  [this](int slot, const ScriptRow& row) { BasicLines[slot] = row.text(0); });
        loadTable(Data2, [this](int slot, const ScriptRow& row) {
            DoubleLines[slot].first = row.text(0);
            DoubleLines[slot].second = row.text(1);
        });
        loadTable(Data3,
                  [this](int slot, const ScriptRow& row) { ControlLines[slot] = row.text(0); });
    } catch (const ScriptError& error) {
        message(u"Error during LoadData."_s, BoxStyle::OkOnly, {}, error.message());
    }
}

int Conversation::pickSlot(int capacity, const std::function<bool(int)>& isVacant)
{
    int slot = 0;
    try {
        m_random.reseed();
        for (int attempt = 1; attempt <= PickRules::attempts; ++attempt) {
            const double r = m_random.next();
            slot = to16(int(std::floor(r * PickRules::blockSize + 1)) +
                        to16(BlockIndex * PickRules::blockSize));
            if (slot < 1 || slot > capacity)
                throw std::out_of_range("slot outside the table");
            if (!isVacant(slot))
                return slot;
        }
        message(u"Empty variable..."_s, BoxStyle::OkOnly);
    } catch (const std::out_of_range&) {
    } catch (const std::overflow_error&) {
    }
    message(QString::number(slot), BoxStyle::OkOnly, u"ERROR - Bad Script"_s);
    return 0;
}

void Conversation::GetControlData()
{
    const int slot = pickSlot(ControlTable::capacity,
                              [this](int s) { return PickRules::isVacant(ControlLines[s]); });
    if (slot)
        CurrentLine = ControlLines[slot];
}

void Conversation::GetDoubleData()
{
    const int slot = pickSlot(DoubleTable::capacity,
                              [this](int s) { return PickRules::isVacant(DoubleLines[s].first); });
    if (slot) {
        PairFirst = DoubleLines[slot].first;
        PairSecond = DoubleLines[slot].second;
    }
}

void Conversation::FirstLine()
{
    askShowAndPair(PickRules::FirstQuestions, PickRules::FirstPairs);
}

void Conversation::NextLine()
{
    askShowAndPair(PickRules::NextQuestions, PickRules::NextPairs);
}

void Conversation::askShowAndPair(qint16 questionBlock, qint16 pairBlock)
{
    BlockIndex = questionBlock;
    GetControlData();
    PromptLine();
    BlockIndex = PickRules::Statements;
    GetControlData();
    ShowLine();
    BlockIndex = pairBlock;
    GetDoubleData();
    presentPair(BoxStyle::OkOnly);
}

void Conversation::presentPair(BoxStyle style)
{
    CurrentLine = PairFirst + u' ' + Answer + u' ' + PairSecond;
    AskStyle = style;
    AskLine();
}

void Conversation::GoAgain()
{
    // The same block number serves both tables: statements or repeat statements, and the
    // pairs that go with them.
    BlockIndex = AgainFlag != 0 ? PickRules::RepeatStatements : PickRules::Statements;
    AgainFlag = 1;
    GetControlData();
    ShowLine();
    GetDoubleData();
    presentPair(BoxStyle::OkOnly);
}

void Conversation::AnyMore()
{
    BlockIndex = PickRules::GoOnPairs;
    GetDoubleData();
    presentPair(BoxStyle::YesNo);
    if (Reply == Reply::Yes) {
        YesCount = to16(YesCount + 1);
        if (YesCount > 2) {
            NextStep = Step::Special;
            YesCount = 0;
        } else {
            NextStep = Step::GoAgain;
        }
        return;
    }
    BlockIndex = PickRules::GoOnQuestions;
    GetControlData();
    AskStyle = BoxStyle::YesNo;
    AskLine();
    if (Reply == Reply::Yes) {
        NextStep = Step::NextLine;
        YesCount = 0;
    } else {
        NextStep = Step::FirstLine;
        Finish();
    }
}

void Conversation::Finish()
{
    AskStyle = BoxStyle::YesNo;
    CurrentLine = BasicLines[BasicRow::FinishQuestion];
    AskLine();
    if (Reply == Reply::Yes) {
        CurrentLine = BasicLines[BasicRow::GoOnLine];
        ShowLine();
        NextStep = Step::FirstLine;
        return;
    }
    for (;;) {
        CurrentLine = BasicLines[BasicRow::ClosingQuestion];
        AskStyle = BoxStyle::YesNo;
        AskLine();
        if (Reply != Reply::Yes) {
            CurrentLine = BasicLines[BasicRow::NoAgePrompt];
            PromptLine();
            GoAgain();
            continue;
        }
        CurrentLine = BasicLines[BasicRow::AgePrompt];
        PromptLine();
        // An answer that is no number is a wrong age like any other, not a failure.
        const std::optional<qint16> age = AgeAnswer::read(Answer);
        if (age && *age == UserAge)
            break;
        CurrentLine = BasicLines[BasicRow::WrongAgePrompt] + u' ' + Answer + u'.';
        PromptLine();
        GoAgain();
    }
    CurrentLine = BasicLines[BasicRow::Farewell];
    ShowLine();
    CurrentLine = BasicLines[BasicRow::FarewellName] + u' ' + UserName;
    ShowLine();
    const int hour = m_clock.localNow().time().hour();
    CurrentLine = BasicLines[hour < 6    ? BasicRow::NightLine
                             : hour < 12 ? BasicRow::MorningLine
                             : hour < 18 ? BasicRow::AfternoonLine
                             : hour < 23 ? BasicRow::EveningLine
                                         : BasicRow::LateLine];
    ShowLine();
    m_presenter.showAbout();
    PauseSeconds = 8;
    Pause();
    m_presenter.hideAbout();
    endProgram();
    checkEnded();
}
