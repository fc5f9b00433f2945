// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Part of class Conversation, kept apart so that no file grows long: the special-case step.
// Here live Special and its parts (openSpecialCases, readSpecialCase, askFollowUps,
// finishFollowUp), the waits for another program's lock (waitingOutLocks), and tellOnce,
// by which script faults met on the way are told once a run. The question cycle is in
// ConversationSteps.cpp; the window's events and presentation in Conversation.cpp.
#include "clock/Clock.h"
#include "engine/Conversation.h"
#include "engine/Presenter.h"
#include "script/ScriptError.h"
#include "script/SpecialCases.h"
#include "script/SpecialRules.h"

using namespace Qt::Literals::StringLiterals;

namespace {
// Another program may hold special.mdb for a while (the editor saving, a backup), and a
// server may be out of reach for a moment. Each statement waits only briefly on its own;
// between tries the window keeps working, and after this long the step gives up and says so.
constexpr int statementPatienceMs = 50;
constexpr double lockPatienceSeconds = 5.0;
constexpr double retryEverySeconds = 0.25;
} // namespace

template <typename Statement> auto Conversation::waitingOutLocks(Statement statement)
{
    const double giveUp = m_clock.monotonicSeconds() + lockPatienceSeconds;
    for (;;) {
        try {
            const Reaching reaching(*this);
            return statement();
        } catch (const ScriptError& error) {
            if (!error.mayPass() || m_clock.monotonicSeconds() >= giveUp)
                throw;
        }
        m_clock.waitUntil(m_clock.monotonicSeconds() + retryEverySeconds);
        checkEnded();
    }
}

void Conversation::tellOnce(const QString& fault, const QString& consequence)
{
    // A fault is the author's to mend; telling it once a run is enough.
    if (m_told.contains(fault))
        return;
    m_told.insert(fault);
    message(consequence, BoxStyle::Warning, {}, fault);
}

void Conversation::tellOnce(const QString& fault)
{
    tellOnce(fault, u"The special-case script has a fault and the conversation goes around it."_s);
}

void Conversation::openSpecialCases(std::unique_ptr<ScriptTable> table)
{
    const Reaching reaching(*this);
    table->setBusyTimeout(statementPatienceMs);
    SpecialD = std::make_unique<SpecialCases>(std::move(table));
}

std::optional<SpecialCases::Case> Conversation::readSpecialCase(bool& unreadable)
{
    try {
        return waitingOutLocks([this] { return SpecialD->current(); });
    } catch (const ScriptError& error) {
        tellOnce(error.message(), u"A special case could not be read, so the conversation goes "
                                  u"on without it for now."_s);
        unreadable = true;
        return std::nullopt;
    }
}

void Conversation::Special()
{
    if (!SpecialD || SpecialD->isEmpty()) {
        tellOnce(SpecialD ? ScriptError(SpecialD->table().fileName(),
                                        u"there are no special cases to ask"_s)
                                .message()
                          : m_specialFailure);
        NextStep = Step::NextLine;
        return;
    }
    for (;;) {
        if (SpecialD->atEnd()) {
            SpecialD->moveFirst();
            if (!m_askedSinceFirstRow) {
                tellOnce(ScriptError(SpecialD->table().fileName(),
                                     u"none of the special cases can be asked"_s)
                             .message());
                NextStep = Step::NextLine;
                return;
            }
            m_askedSinceFirstRow = false;
            return;
        }
        bool unreadable = false;
        const std::optional<SpecialCases::Case> row = readSpecialCase(unreadable);
        if (unreadable) {
            // The file is held or gone: the question loop goes on, and the next special case
            // tries the same row again.
            NextStep = Step::NextLine;
            return;
        }
        if (!row) {
            SpecialD->moveNext(); // deleted since the walk began
            continue;
        }
        try {
            const Reaching reaching(*this); // a null names its row, read from the table
            CurrentLine = row->text(2);
        } catch (const ScriptError& error) {
            tellOnce(error.message());
            SpecialD->moveNext();
            continue;
        }
        AskStyle = BoxStyle::YesNo;
        AskLine();
        m_askedSinceFirstRow = true;
        if (Reply != Reply::Yes) {
            SpecialD->moveNext();
            continue;
        }
        bool fileHeld = false;
        try {
            waitingOutLocks([this] { SpecialD->countConfirmation(); });
        } catch (const ScriptError& error) {
            tellOnce(error.message(), u"The Yes was not counted; the conversation goes on."_s);
            fileHeld = error.mayPass();
        }
        if (!askFollowUps(*row, fileHeld))
            return;
    }
}

bool Conversation::askFollowUps(const SpecialCases::Case& confirmed, bool fileHeld)
{
    const int level = int(PersistLevel);
    bool asked = false;
    for (int position = 4; position <= level; ++position) {
        // Read afresh: the author may have changed the prompt since the question. While the
        // file is held past the wait the count just made, the prompts are those read with the
        // question: reading would wait as long again, and tell the same lock a second time.
        bool unreadable = false;
        const std::optional<SpecialCases::Case> now =
            fileHeld ? std::optional(confirmed) : readSpecialCase(unreadable);
        if (!now && !unreadable)
            return false; // deleted meanwhile: the walk goes on past it
        if (unreadable)
            break; // told; the other prompts would wait on the same lock
        // A null prompt is how an author gives a case fewer follow-ups than the level allows:
        // nothing to ask, so no box and no repeat, and no fault to tell. (A case's fields begin
        // at its question.)
        const QVariant& prompt = now->fields.at(position - SpecialRules::questionPosition);
        if (!SpecialRules::canAsk(prompt))
            continue;
        AgainFlag = 0;
        CurrentLine = prompt.toString();
        PromptLine();
        asked = true;
        if (finishFollowUp())
            return true;
    }
    // A confirmed case with no prompt to ask still gets the answer every other one gets,
    // the repeat and the question whether to go on, once, instead of its own question
    // straight back again.
    if (!asked) {
        AgainFlag = 0;
        return finishFollowUp();
    }
    return false;
}

bool Conversation::finishFollowUp()
{
    for (;;) {
        GoAgain();
        AnyMore();
        switch (NextStep) {
        case Step::GoAgain:
            continue;
        case Step::Special:
            SpecialD->moveNext();
            return true;
        case Step::FirstLine:
            Finish();
            return false;
        case Step::None:
        case Step::NextLine:
        default:
            return false;
        }
    }
}
