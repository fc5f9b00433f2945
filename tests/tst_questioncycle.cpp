// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/SystemRandom.h"
#include "tests/support/Rehearsal.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// For someone born on `born`: the first question, No to both questions whether to go on,
// and No to the finish question, so that the closing exchange begins.
Beats toClosingExchange(const QString& born)
{
    return beats(introduction(u"Ann"_s, born),
                 "input: control 41 | > x | show: control 1 (1 s) | box: first 1 x second 1",
                 Reply::Ok, "ask: first 41 x second 41", Reply::No, "ask: control 81", Reply::No,
                 "ask: basic 11", Reply::No, "ask: basic 12");
}

Beats farewell(int hourLine)
{
    return beats(
        u"show: basic 16 (1 s) | show: basic 17 Ann (1 s) | show: basic %1 (1 s)"_s.arg(hourLine),
        "about | pause: 8 | about hidden | closed");
}
} // namespace

// The question loop: its steps and picks, and the finish with its closing exchange.
class TestQuestionCycle : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void conversation_data()
    {
        conversationColumns();
        const char* goOn = "ask: first 41 blue second 41";
        const char* firstQuestion =
            "input: control 41 | > x | show: control 1 (1 s) | box: first 1 x second 1";

        // The first repeat after a typed answer draws from block 0, each further one from 1.
        scenario("three Yes replies to going on lead to a special case",
                 beats(introduction(), "input: control 41 | > blue | show: control 1 (1 s)",
                       "box: first 1 blue second 1", Reply::Ok, goOn, Reply::Yes,
                       "show: control 1 (1 s) | box: first 1 blue second 1", Reply::Ok, goOn,
                       Reply::Yes, "show: control 21 (1 s) | box: first 21 blue second 21",
                       Reply::Ok, goOn, Reply::Yes, "ask: case 1? | closed"));
        scenario("No, then Yes: the next question, and Yes replies count afresh",
                 beats(toTwoYes(), goOn, Reply::No, "ask: control 81", Reply::Yes,
                       "input: control 61 | > red | show: control 1 (1 s)",
                       "box: first 21 red second 21", Reply::Ok, "ask: first 41 red second 41",
                       Reply::Yes, "show: control 1 (1 s) | box: first 1 red second 1 | closed"));
        scenario("No, No, and going on from the finish keeps the Yes replies counted",
                 beats(toTwoYes(), goOn, Reply::No, "ask: control 81", Reply::No, "ask: basic 11",
                       Reply::Yes, "show: basic 10 (1 s) | input: control 41 | > green",
                       "show: control 1 (1 s) | box: first 1 green second 1", Reply::Ok,
                       "ask: first 41 green second 41", Reply::Yes, "ask: case 1? | closed"));
        // Each pick starts a fresh sequence of draws: the dice are given pick by pick.
        scenario(
            "picks pass over the exact marker only, in a pair its first text",
            beats(introduction(), "input: control 41 | >  | show: empty | box: I see  Empty",
                  Reply::Ok, "ask: first 41  second 41", Reply::Yes,
                  "show: Empty  (1 s) | box: I see  Empty | closed"),
            {u"control: UPDATE Table1 SET String = 'Empty' WHERE ID = 1; UPDATE Table1 SET "
             u"String = 'empty' WHERE ID = 2; UPDATE Table1 SET String = 'Empty ' WHERE ID = 3"_s,
             u"double: UPDATE Table1 SET \"String  #1\" = 'Empty' WHERE ID = 1; UPDATE Table1 "
             u"SET \"String  #1\" = 'I see', \"String #2\" = 'Empty' WHERE ID = 2"_s,
             u"dice: 1; 1 2; 1 2; 1; 1 3; 2"_s});
        scenario("a block of markers gives up after fifty draws and asks the line before",
                 beats(introduction(), "notice[]: Empty variable...",
                       "notice[ERROR - Bad Script]: 47 | input: basic 10 | closed"),
                 {u"control: UPDATE Table1 SET String = 'Empty' WHERE ID > 40"_s,
                  u"dice: "_s + QString(u"1 "_s).repeated(49) + u'7'});
        scenario("a draw out of its block names the slot and keeps the pair before",
                 beats(introduction(), firstQuestion, Reply::Ok,
                       "notice[ERROR - Bad Script]: 61 | ask: first 1 x second 1 | closed"),
                 {u"dice: 1; 1; 1; 21"_s});
        scenario("slots past the loaded rows are empty lines",
                 beats(introduction(), firstQuestion, Reply::Ok, "ask: first 41 x second 41",
                       Reply::No, "ask:  | closed"),
                 {u"control: DELETE FROM Table1 WHERE ID > 90"_s, u"dice: 1; 1; 1; 1; 15"_s});
        scenario("No to the closing question: a prompt, a repeat, and the question again",
                 beats(toClosingExchange(u"1/1/1990"_s), Reply::No,
                       "input: basic 14 | > not now | show: control 1 (1 s)",
                       "box: first 1 not now second 1", Reply::Ok, "ask: basic 12", Reply::No,
                       "input: basic 14 | > no | show: control 1 (1 s) | box: first 1 no second 1",
                       Reply::Ok, "ask: basic 12", Reply::Yes, "input: basic 13 | > 36",
                       farewell(19)));

        // Only the age worked out at the start, in whole years of 365 days, ends the closing
        // exchange; a wrong one is echoed as typed. The goodbye goes by the hour.
        const QList<std::pair<QString, int>> hours{
            {u"00:00"_s, 18}, {u"05:59"_s, 18}, {u"06:00"_s, 19}, {u"11:59"_s, 19},
            {u"12:00"_s, 20}, {u"17:59"_s, 20}, {u"18:00"_s, 21}, {u"22:59"_s, 21},
            {u"23:00"_s, 22}, {u"23:59"_s, 22}};
        for (const auto& [time, line] : hours)
            scenario(qPrintable(u"goodbye at "_s + time),
                     beats(toClosingExchange(u"1/1/1990"_s), Reply::Yes, "input: basic 13 | > 36",
                           farewell(line)),
                     {u"clock: "_s + time});
        // Born 12/16/1991, someone is 35 years of 365 days old on the 7th of December 2026.
        const QList<std::tuple<QString, QString, bool>> ages{
            {u"12/07/2026"_s, u"0"_s, true},     {u"12/08/2025"_s, u"0"_s, true},
            {u"12/07/2025"_s, u"1"_s, true},     {u"12/08/2026"_s, u"-1"_s, true},
            {u"01/01/1920"_s, u"107"_s, true},   {u"01/01/1000"_s, u"1027"_s, true},
            {u"12/16/1991"_s, u" 35 "_s, true},  {u"12/16/1991"_s, u"35.0"_s, true},
            {u"12/16/1991"_s, u"35.5"_s, false}, {u"12/16/1990"_s, u"35.5"_s, true},
            {u"12/15/1992"_s, u"34.5"_s, true},  {u"12/16/1991"_s, u"abc"_s, false},
            {u"12/16/1991"_s, QString(), false}, {u"12/16/1991"_s, u"99999"_s, false}};
        for (const auto& [born, typed, accepted] : ages)
            scenario(qPrintable(u"born %1, \"%2\""_s.arg(born, typed)),
                     beats(toClosingExchange(born), Reply::Yes, u"input: basic 13 | > "_s + typed,
                           accepted ? farewell(19)
                                    : beats(u"input: basic 15 %1. | > sorry"_s.arg(typed),
                                            "show: control 1 (1 s) | box: first 1 sorry second 1 "
                                            "| closed")));
    }
    void conversation() { playScenario(); }

    void picksAreUniformAndBackToBackPicksIndependent()
    {
        // The real generator: every position of a block alike, and two picks in a row no more
        // alike than chance (a seed from a coarse clock would repeat the same draw).
        SystemRandom random;
        constexpr int picks = 20000;
        std::array<int, 20> seen{};
        int repeats = 0;
        int previous = -1;
        for (int i = 0; i < picks; ++i) {
            random.reseed();
            const int position = int(random.next() * 20);
            QVERIFY(position >= 0 && position < 20);
            ++seen[std::size_t(position)];
            repeats += position == previous;
            previous = position;
        }
        double chiSquare = 0;
        for (int count : seen)
            chiSquare += (count - picks / 20.0) * (count - picks / 20.0) / (picks / 20.0);
        QVERIFY2(chiSquare < 60.0, qPrintable(u"chi-square %1 over 19 degrees"_s.arg(chiSquare)));
        QVERIFY2(repeats < picks / 10, qPrintable(u"%1 repeats"_s.arg(repeats)));
    }
};

QTEST_GUILESS_MAIN(TestQuestionCycle)
#include "tst_questioncycle.moc"
