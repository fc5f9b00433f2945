// The question cycle: loading the lines, the random picks, the steps and the finish.
#include "clock/Clock.h"
#include "engine/AgeAnswer.h"
#include "engine/Conversation.h"
#include "engine/Presenter.h"
#include "engine/RandomSource.h"
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
        throw ScriptError(layout.fileName,
                          u"the file could not be opened (%1)"_s.arg(source.failure));
    int counter = 0;
    source.table->forEachRow(layout.lineColumns, [&](const ScriptRow& row) {
        ++counter;
        if (counter > layout.capacity)
            throw ScriptError(layout.fileName,
                              u"there are more rows than the %1 the runner can "
                              u"hold"_s.arg(layout.capacity),
                              counter);
        store(counter, row);
    });
    if (counter == 0)
        throw ScriptError(layout.fileName, u"the table has no rows"_s);
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
        message(u"Error during LoadData."_s, Presenter::OkOnly, {}, error.message());
    }
}

int Conversation::pickSlot(int capacity, const std::function<bool(int)>& isVacant)
{
    int slot = 0;
    try {
        m_random.reseed();
        for (int attempt = 1; attempt <= 50; ++attempt) {
            const double r = m_random.next();
            slot = to16(int(std::floor(r * 20 + 1)) + to16(BlockIndex * 20));
            if (slot < 1 || slot > capacity)
                throw std::out_of_range("slot outside the table");
            if (!isVacant(slot))
                return slot;
        }
        message(u"Empty variable..."_s, Presenter::OkOnly);
    } catch (const std::out_of_range&) {
    } catch (const std::overflow_error&) {
    }
    message(QString::number(slot), Presenter::OkOnly, u"ERROR - Bad Script"_s);
    return 0;
}

void Conversation::GetControlData()
{
    const int slot =
        pickSlot(ControlLines.capacity, [this](int s) { return ControlLines[s] == u"Empty"_s; });
    if (slot)
        CurrentLine = ControlLines[slot];
}

void Conversation::GetDoubleData()
{
    const int slot = pickSlot(DoubleLines.capacity,
                              [this](int s) { return DoubleLines[s].first == u"Empty"_s; });
    if (slot) {
        PairFirst = DoubleLines[slot].first;
        PairSecond = DoubleLines[slot].second;
    }
}

void Conversation::FirstLine()
{
    askShowAndPair(2, 0);
}

void Conversation::NextLine()
{
    askShowAndPair(3, 1);
}

void Conversation::askShowAndPair(qint16 questionBlock, qint16 pairBlock)
{
    BlockIndex = questionBlock;
    GetControlData();
    PromptLine();
    BlockIndex = 0;
    GetControlData();
    ShowLine();
    BlockIndex = pairBlock;
    GetDoubleData();
    presentPair(Presenter::OkOnly);
}

void Conversation::presentPair(qint16 style)
{
    CurrentLine = PairFirst + u' ' + Answer + u' ' + PairSecond;
    AskStyle = style;
    AskLine();
}

void Conversation::GoAgain()
{
    BlockIndex = AgainFlag != 0 ? 1 : 0;
    AgainFlag = 1;
    GetControlData();
    ShowLine();
    GetDoubleData();
    presentPair(Presenter::OkOnly);
}

void Conversation::AnyMore()
{
    BlockIndex = 2;
    GetDoubleData();
    presentPair(Presenter::YesNo);
    if (Reply == Presenter::Yes) {
        YesCount = to16(YesCount + 1);
        if (YesCount > 2) {
            NextStep = 4;
            YesCount = 0;
        } else {
            NextStep = 3;
        }
        return;
    }
    BlockIndex = 4;
    GetControlData();
    AskStyle = Presenter::YesNo;
    AskLine();
    if (Reply == Presenter::Yes) {
        NextStep = 2;
        YesCount = 0;
    } else {
        NextStep = 1;
        Finish();
    }
}

void Conversation::Finish()
{
    AskStyle = Presenter::YesNo;
    CurrentLine = BasicLines[11];
    AskLine();
    if (Reply == Presenter::Yes) {
        CurrentLine = BasicLines[10];
        ShowLine();
        NextStep = 1;
        return;
    }
    for (;;) {
        CurrentLine = BasicLines[12];
        AskStyle = Presenter::YesNo;
        AskLine();
        if (Reply != Presenter::Yes) {
            CurrentLine = BasicLines[14];
            PromptLine();
            GoAgain();
            continue;
        }
        CurrentLine = BasicLines[13];
        PromptLine();
        // An answer that is no number is a wrong age like any other, not a failure.
        const std::optional<qint16> age = AgeAnswer::read(Answer);
        if (age && *age == UserAge)
            break;
        CurrentLine = BasicLines[15] + u' ' + Answer + u'.';
        PromptLine();
        GoAgain();
    }
    CurrentLine = BasicLines[16];
    ShowLine();
    CurrentLine = BasicLines[17] + u' ' + UserName;
    ShowLine();
    const int hour = m_clock.localNow().time().hour();
    CurrentLine = BasicLines[hour < 6 ? 18 : hour < 12 ? 19 : hour < 18 ? 20 : hour < 23 ? 21 : 22];
    ShowLine();
    m_presenter.showAbout();
    PauseSeconds = 8;
    Pause();
    m_presenter.hideAbout();
    endProgram();
    checkEnded();
}
