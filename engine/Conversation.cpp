// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/Conversation.h"

#include "clock/Clock.h"
#include "engine/BasicRow.h"
#include "engine/BirthDateReader.h"
#include "engine/Presenter.h"
#include "engine/RandomSource.h"
#include "engine/Voice.h"
#include "script/LinePause.h"
#include "script/ScriptError.h"
#include "script/ScriptLocation.h"
#include "script/ScriptTable.h"
#include "script/SpecialCases.h"

#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString inputTitle = u"Veyrath Message"_s;
} // namespace

Conversation::Conversation(Presenter& presenter, Voice& voice, Clock& clock, RandomSource& random,
                           QString workingDir)
    : m_presenter(presenter)
    , m_voice(voice)
    , m_clock(clock)
    , m_random(random)
    , m_dir(std::move(workingDir))
{
    PersistLevel = Persistence::Medium;
    PersistCode = u"M"_s;
}

Conversation::~Conversation() = default;

Conversation::DataSource Conversation::openSource(const TableLayout& layout)
{
    DataSource source;
    source.layout = &layout;
    source.onServer = ScriptLocation::isServer(m_dir);
    source.name = source.onServer ? layout.caption : layout.fileName;
    try {
        source.table = ScriptTable::open(m_dir, layout);
    } catch (const ScriptError& error) {
        source.failure = error.reason();
        message(error.message(), BoxStyle::Warning);
    }
    return source;
}

void Conversation::Form_Load()
{
    // Connecting to a server lets the window handle its events meanwhile, Start included;
    // the conversation begins once the tables it loads are open.
    m_loading = true;
    try {
        Data1 = openSource(TableLayout::basic());
        Data2 = openSource(TableLayout::doubles());
        Data3 = openSource(TableLayout::control());
        DataSource special = openSource(TableLayout::special());
        if (!special.table) {
            // Told just now; the special step need not tell it again.
            m_specialFailure = ScriptError(special.name, special.failure).message();
            m_told.insert(m_specialFailure);
        } else {
            try {
                openSpecialCases(std::move(special.table));
            } catch (const ScriptError& error) {
                m_specialFailure = error.message();
                m_told.insert(m_specialFailure);
                message(error.message(), BoxStyle::Warning);
            }
        }
    } catch (const Ended&) {
    }
    m_loading = false;
    if (std::exchange(m_startPressedWhileLoading, false) && !m_ended)
        BUTTON_Click();
}

void Conversation::BUTTON_Click()
{
    if (m_loading) {
        m_startPressedWhileLoading = true;
        return;
    }
    m_presenter.hideStartButton();
    RunState = u"ENDLESS"_s;
    NextStep = Step::FirstLine;
    try {
        LoadData();
        introduction();
        questionLoop();
    } catch (const Ended&) {
    } catch (const std::exception& error) {
        // Nothing above the conversation could do better than tell and end cleanly.
        const QString what = dynamic_cast<const ScriptError*>(&error)
                                 ? static_cast<const ScriptError&>(error).message()
                                 : QString::fromUtf8(error.what());
        try {
            message(u"The conversation cannot go on."_s, BoxStyle::Warning, {}, what);
        } catch (const Ended&) {
        }
        endProgram();
    }
}

void Conversation::introduction()
{
    CurrentLine = BasicLines[BasicRow::Welcome];
    ShowLine();
    CurrentLine = BasicLines[BasicRow::NamePrompt];
    PromptLine();
    UserName = Answer;
    for (;;) {
        CurrentLine = BasicLines[BasicRow::BirthDatePrompt];
        PromptLine();
        BirthDate = Answer;
        if (BirthDateReader::read(BirthDate, m_clock.localNow().date()))
            break;
        message(u"Please use format MM/DD/YY"_s, BoxStyle::Information, u"Information"_s);
    }
    ComputeAge();
    CurrentLine = UserName + u' ' + BasicLines[BasicRow::NameGreeting];
    ShowLine();
    for (int slot = BasicRow::FirstIntroLine; slot <= BasicRow::LastIntroLine; ++slot) {
        CurrentLine = BasicLines[slot];
        ShowLine();
    }
}

void Conversation::questionLoop()
{
    while (RunState == u"ENDLESS"_s) {
        switch (NextStep) {
        case Step::FirstLine:
            FirstLine();
            AnyMore();
            break;
        case Step::NextLine:
            NextLine();
            AnyMore();
            break;
        case Step::GoAgain:
            GoAgain();
            AnyMore();
            break;
        case Step::Special:
            Special();
            break;
        case Step::None:
        default:
            AnyMore();
            break;
        }
    }
}

void Conversation::ShowLine()
{
    m_voice.speak(CurrentLine);
    m_presenter.display(CurrentLine);
    PauseSeconds = LinePause::seconds(CurrentLine.size());
    Pause();
}

void Conversation::PromptLine()
{
    m_voice.speak(CurrentLine);
    Answer = m_presenter.inputBox(CurrentLine, inputTitle);
    checkEnded();
    AgainFlag = 0;
}

void Conversation::AskLine()
{
    m_voice.speak(CurrentLine);
    Reply = m_presenter.messageBox(CurrentLine, AskStyle, inputTitle);
    checkEnded();
}

void Conversation::Pause()
{
    const double start = m_clock.monotonicSeconds();
    double now = start;
    while (start + PauseSeconds > now) {
        m_clock.waitUntil(start + PauseSeconds);
        checkEnded();
        now = m_clock.monotonicSeconds();
    }
}

void Conversation::ComputeAge()
{
    const QDate today = m_clock.localNow().date();
    const std::optional<QDate> born = BirthDateReader::read(BirthDate, today);
    // Counted in 64 bits: a 16-bit count of days runs out at 89 years.
    const qint64 days = born ? born->daysTo(today) : 0;
    UserAge = qint16(std::floor(double(days) / 365.0));
}

void Conversation::MNU_EXIT_Click()
{
    try {
        m_presenter.showAbout();
        PauseSeconds = 10;
        Pause();
        m_presenter.hideAbout();
    } catch (const Ended&) {
    }
    endProgram();
}

void Conversation::Form_Closed()
{
    endProgram();
}

void Conversation::MNU_HIGH_Click()
{
    PersistLevel = Persistence::High;
    PersistCode = u"H"_s;
    PersistCheck();
}

void Conversation::MNU_MEDIUM_Click()
{
    PersistLevel = Persistence::Medium;
    PersistCode = u"M"_s;
    PersistCheck();
}

void Conversation::MNU_LOW_Click()
{
    PersistLevel = Persistence::Low;
    PersistCode = u"L"_s;
    PersistCheck();
}

void Conversation::PersistCheck()
{
    // The window clears every mark and sets the one the letter names (exact case).
    std::optional<Persistence> marked;
    if (PersistCode == u"H"_s)
        marked = Persistence::High;
    else if (PersistCode == u"M"_s)
        marked = Persistence::Medium;
    else if (PersistCode == u"L"_s)
        marked = Persistence::Low;
    m_presenter.showPersistence(marked);
}

void Conversation::checkEnded() const
{
    if (m_ended)
        throw Ended{};
}

void Conversation::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    SpecialD.reset();
    Data1.table.reset();
    Data2.table.reset();
    Data3.table.reset();
    m_presenter.closeProgram();
}

::Reply Conversation::message(const QString& prompt, BoxStyle style, const QString& title,
                              const QString& details)
{
    const ::Reply reply = m_presenter.messageBox(prompt, style, title, details);
    checkEnded();
    return reply;
}
