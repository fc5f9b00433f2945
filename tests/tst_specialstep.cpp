// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/Rehearsal.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const Beats toCase1 = beats(toTwoYes(), "ask: first 41 blue second 41", Reply::Yes);
const Beats yesToCase1 = beats(toCase1, "ask: case 1?", Reply::Yes);
const Beats nextQuestion = beats("input: control 61 | closed");
const QString goneAround =
    u"warning[]: The special-case script has a fault and the conversation goes around it."_s;
const QString unread = u"warning[]: A special case could not be read, so the conversation goes "
                       u"on without it for now. | details: special.mdb: "_s;
const QString nullQuestion = goneAround +
                             u" | details: special.mdb, row %1, field \"Primary Question "
                             u"(Y/N)\": the question is null, so the runner skips this case and "
                             u"tells it once per run; put a text in it, even an empty one"_s;

// A follow-up prompt answered, the repeat around the answer, No to going on and Yes to the
// next question: the case goes on to its next prompt.
Beats answered(int prompt)
{
    return beats(u"input: case 1 prompt %1 | > fine | show: control 1 (1 s)"_s.arg(prompt),
                 "box: first 1 fine second 1", Reply::Ok, "ask: first 41 fine second 41", Reply::No,
                 "ask: control 81", Reply::Yes);
}

// From the loop's next question, three Yes replies to going on: a special case again.
Beats nextQuestionToSpecialCase()
{
    const char* goOn = "ask: first 41 x second 41";
    return beats("input: control 61 | > x | show: control 1 (1 s) | box: first 21 x second 21",
                 Reply::Ok, goOn, Reply::Yes, "show: control 1 (1 s) | box: first 1 x second 1",
                 Reply::Ok, goOn, Reply::Yes, "show: control 21 (1 s) | box: first 21 x second 21",
                 Reply::Ok, goOn, Reply::Yes);
}
} // namespace

// The special cases: asked most confirmed first, each Yes counted into special.mdb, and the
// follow-up prompts the level allows.
class TestSpecialStep : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void conversation_data()
    {
        conversationColumns();
        const Beats low = beats(Persistence::Low, "marked: Low");
        const Beats high = beats(Persistence::High, "marked: High");
        const char* once = "special.mdb counts: 1 0 0 0 0 0";
        const char* none = "special.mdb counts: 0 0 0 0 0 0";
        const char* goOn = "ask: first 41 fine second 41";
        const char* firstPrompt = "input: case 1 prompt 1 | > fine | show: control 1 (1 s)";

        onBothStores("Low asks one prompt; the next special case asks the same case again",
                     beats(low, yesToCase1, answered(1), nextQuestionToSpecialCase(),
                           "ask: case 1? | closed", once));
        scenario("Medium, as at start, asks three",
                 beats(yesToCase1, answered(1), answered(2), answered(3), nextQuestion, once));
        scenario("High asks four", beats(high, yesToCase1, answered(1), answered(2), answered(3),
                                         answered(4), nextQuestion, once));
        scenario("a level chosen during a case counts from the next case",
                 beats(low, yesToCase1, firstPrompt, Persistence::High,
                       "marked: High | box: first 1 fine second 1", Reply::Ok, goOn, Reply::No,
                       "ask: control 81", Reply::Yes, nextQuestion, once));
        scenario("a third Yes during a case moves on to the next, counting once",
                 beats(yesToCase1, firstPrompt, "box: first 1 fine second 1", Reply::Ok, goOn,
                       Reply::Yes, "show: control 21 (1 s) | box: first 21 fine second 21",
                       Reply::Ok, goOn, Reply::Yes,
                       "show: control 21 (1 s) | box: first 21 fine second 21", Reply::Ok, goOn,
                       Reply::Yes, "ask: case 2?", Reply::No, "ask: case 3? | closed", once));
        scenario("No, No during a case runs the finish twice",
                 beats(low, yesToCase1, firstPrompt, "box: first 1 fine second 1", Reply::Ok, goOn,
                       Reply::No, "ask: control 81", Reply::No, "ask: basic 11", Reply::Yes,
                       "show: basic 10 (1 s) | ask: basic 11", Reply::Yes,
                       "show: basic 10 (1 s) | input: control 41 | closed", once));
        onBothStores("No to every case goes round them, most confirmed first",
                     beats(toCase1, "ask: case 3?", Reply::No, "ask: case 4?", Reply::No,
                           "ask: case 1?", Reply::No, "ask: case 2?", Reply::No, "ask: case 5?",
                           Reply::No, "ask: case 6?", Reply::No, "ask: case 3? | closed",
                           "special.mdb counts: 0 0 5 2 0 0"),
                     {u"special: UPDATE Table1 SET \"Yes\" = 5 WHERE \"ID\" = 3; "
                      u"UPDATE Table1 SET \"Yes\" = 2 WHERE \"ID\" = 4"_s});
        onBothStores("an empty count stays empty",
                     beats(low, yesToCase1, answered(1), nextQuestion,
                           "special.mdb counts: null null null null null null"),
                     {u"special: UPDATE Table1 SET \"Yes\" = NULL"_s});
        onBothStores(
            "a null question is told once and gone around",
            beats(toCase1, nullQuestion.arg(1), "ask: case 2?", Reply::No, "ask: case 3?",
                  Reply::No, "ask: case 4?", Reply::No, "ask: case 5?", Reply::No, "ask: case 6?",
                  Reply::No, "ask: case 2? | closed", none),
            {u"special: UPDATE Table1 SET \"Primary Question (Y/N)\" = NULL WHERE \"ID\" = "
             u"1"_s});
        scenario("with no case to ask, the loop goes on",
                 beats(toCase1, nullQuestion.arg(1), nullQuestion.arg(2), goneAround,
                       "details: special.mdb: none of the special cases can be asked",
                       nextQuestion),
                 {u"special: DELETE FROM Table1 WHERE ID > 2; "
                  u"UPDATE Table1 SET \"Primary Question (Y/N)\" = NULL"_s});
        scenario("a null prompt is nothing to ask: the next one follows",
                 beats(yesToCase1, answered(1), answered(3), nextQuestion, once),
                 {u"special: UPDATE Table1 SET \"2nd Question (Input)\" = NULL"_s});
        // A confirmed case with no prompt to ask still gets the repeat and the question
        // whether to go on, once, rather than its own question straight back.
        const Beats handsBack = beats("show: control 1 (1 s) | box: first 1 blue second 1",
                                      Reply::Ok, "ask: first 41 blue second 41", Reply::No,
                                      "ask: control 81", Reply::Yes, nextQuestion, once);
        scenario("Low, and its one prompt null", beats(low, yesToCase1, handsBack),
                 {u"special: UPDATE Table1 SET \"Enhance Process\" = NULL"_s});
        scenario("High, and every prompt null", beats(high, yesToCase1, handsBack),
                 {u"special: UPDATE Table1 SET \"Enhance Process\" = NULL, \"2nd Question "
                  u"(Input)\" = NULL, \"3rd Question (Input)\" = NULL, \"4th Question "
                  u"(Input)\" = NULL"_s});
        scenario("an empty table is told once, and the loop goes on",
                 beats(toCase1, goneAround,
                       "details: special.mdb: there are no special cases to ask",
                       nextQuestionToSpecialCase(), nextQuestion),
                 {u"special: DELETE FROM Table1"_s});
        scenario("a missing table was told as the window loaded",
                 beats("warning[]: special.mdb: the file was not found…", toCase1, nextQuestion),
                 {u"special: gone"_s});

        // What another program does to special.mdb while the runner is in the middle of a run
        // never ends the conversation.
        scenario("an edited question is asked as edited, a deleted case passed over",
                 beats(toCase1, "ask: Changed?", Reply::No, "ask: case 3? | closed",
                       "special.mdb counts: 0 0 0 0 0"),
                 {u"special, meanwhile: UPDATE Table1 SET \"Primary Question (Y/N)\" = "
                  u"'Changed?' WHERE ID = 1; DELETE FROM Table1 WHERE ID = 2"_s});
        scenario("special.mdb deleted",
                 beats(toCase1, unread + u"the file was deleted while…"_s, nextQuestion),
                 {u"special, meanwhile: gone"_s});
        scenario(
            "special.mdb replaced",
            beats(toCase1, unread + u"the file was replaced by another while…"_s, nextQuestion),
            {u"special, meanwhile: replaced"_s});
        onBothStores("a count held off throughout is told",
                     beats(low, yesToCase1, "pause: 0.25 (20 times)",
                           "warning[]: The Yes was not counted; the conversation goes on.",
                           "details: special.mdb, row 1, field \"Yes\": the Yes was not counted…",
                           answered(1), nextQuestion, none),
                     {u"special, meanwhile: held for writing"_s});
        // Files made elsewhere keep a rollback journal, where a lock holds off readers too.
        const QString rollback = u"special: PRAGMA journal_mode = DELETE"_s;
        scenario("a case held off throughout waits for a later turn",
                 beats(toCase1, "pause: 0.25 (20 times)", unread + u"…"_s, nextQuestion, none),
                 {rollback, u"special, meanwhile: held"_s});
        scenario("a case freed while the runner waits is asked and counted",
                 beats(low, toCase1, "pause: 0.25 | ask: case 1?", Reply::Yes, answered(1),
                       nextQuestion, once),
                 {rollback, u"special, meanwhile: held until a wait"_s});
        onBothStores(
            "a count at the largest number the file holds stays there, told once",
            beats(low, yesToCase1, "warning[]: The Yes was not counted; the conversation goes on.",
                  "details: special.mdb, row 1, field \"Yes\": the count 9223372036854775807 is "
                  "the largest the file holds…",
                  answered(1), nextQuestionToSpecialCase(), "ask: case 1?", Reply::Yes, answered(1),
                  nextQuestion, "special.mdb counts: 9223372036854775807 0 0 0 0 0"),
            {u"special: UPDATE Table1 SET \"Yes\" = 9223372036854775807 WHERE \"ID\" = 1"_s});
    }
    void conversation() { playScenario(); }

    // A lock taken while the question is open outlasts the count's wait: told once, and the
    // prompts read with the question are asked without waiting for the file a second time.
    void countHeldPastItsWait()
    {
        Rehearsal r;
        std::optional<FileLock> lock;
        const Meanwhile held{
            u"special.mdb held"_s,
            [&] { lock.emplace(r.fx, TableLayout::special(), FileLock::Kind::Exclusive); }};
        r.play(beats(Persistence::Low, "marked: Low", toCase1, "ask: case 1?", held, Reply::Yes,
                     "pause: 0.25 (20 times)",
                     "warning[]: The Yes was not counted; the conversation goes on.",
                     "details: special.mdb, field \"Yes\": the Yes was not counted (database is "
                     "locked)",
                     answered(1), nextQuestion),
               {u"special: PRAGMA journal_mode = DELETE"_s});
        lock.reset();
        r.check();
    }
};

QTEST_GUILESS_MAIN(TestSpecialStep)
#include "tst_specialstep.moc"
