// The special-case step: the walk through the special table and its follow-up prompts.
#include "engine/Conversation.h"
#include "engine/Presenter.h"
#include "script/ScriptError.h"
#include "script/SpecialCases.h"

using namespace Qt::Literals::StringLiterals;

void Conversation::tellOnce(const QString& fault)
{
    // A fault in the script is the author's to mend; telling it once a run is enough.
    if (m_told.contains(fault))
        return;
    m_told.insert(fault);
    message(u"The special-case script has a fault and the conversation goes around it."_s,
            BoxStyle::Warning, {}, fault);
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
        const std::optional<SpecialCases::Case> row = SpecialD->current();
        if (!row) {
            SpecialD->moveNext(); // deleted since the walk began
            continue;
        }
        try {
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
        try {
            SpecialD->countConfirmation();
        } catch (const ScriptError& error) {
            tellOnce(error.message());
        }

        const int level = int(PersistLevel);
        bool nextRow = false;
        for (int position = 4; position <= level && !nextRow; ++position) {
            // Read afresh: the author may have changed the prompt since the question.
            const std::optional<SpecialCases::Case> now = SpecialD->current();
            if (!now)
                return;
            AgainFlag = 0;
            try {
                CurrentLine = now->text(position);
            } catch (const ScriptError& error) {
                tellOnce(error.message());
                continue;
            }
            PromptLine();
            finishFollowUps(nextRow);
        }
        if (!nextRow)
            return;
    }
}

void Conversation::finishFollowUps(bool& nextRow)
{
    for (;;) {
        GoAgain();
        AnyMore();
        switch (NextStep) {
        case Step::GoAgain:
            continue;
        case Step::Special:
            SpecialD->moveNext();
            nextRow = true;
            return;
        case Step::FirstLine:
            Finish();
            return;
        case Step::None:
        case Step::NextLine:
        default:
            return;
        }
    }
}
