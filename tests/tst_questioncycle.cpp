// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/SystemRandom.h"
#include "tests/support/Session.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString ask = u"ask(%1)[Veyrath Message]: %2"_s;
const QString prompt = u"prompt[Veyrath Message]: %1"_s;
QString asked(int style, const QString& line)
{
    return ask.arg(style).arg(line);
}
} // namespace

class TestQuestionCycle : public QObject {
    Q_OBJECT

    // A session whose lines are in memory and whose dice always land on a block's first slot.
    static void prepare(Session& s)
    {
        s.open();
        s.fillLines();
        s.stage.transcript.clear();
    }

private Q_SLOTS:
    void threeYesRepliesLeadToTheSpecialStep()
    {
        Session s;
        prepare(s);
        Conversation& c = *s.conversation;
        s.stage.replies(
            {u"blue"_s, Reply::Ok, Reply::Yes, Reply::Ok, Reply::Yes, Reply::Ok, Reply::Yes});
        c.FirstLine();
        c.AnyMore();
        QCOMPARE(s.state().NextStep, Step::GoAgain);
        c.GoAgain();
        c.AnyMore();
        QCOMPARE(s.state().YesCount, qint16(2));
        c.GoAgain();
        c.AnyMore();
        QCOMPARE(s.state().NextStep, Step::Special);
        QCOMPARE(s.state().YesCount, qint16(0));
        const QStringList expected{
            prompt.arg(u"control 41"_s),
            u"show: control 1"_s,
            u"pause: 1"_s,
            asked(0, u"first 1 blue second 1"_s),
            asked(4, u"first 41 blue second 41"_s),
            u"show: control 1"_s, // the first GoAgain after a prompt draws from block 0
            u"pause: 1"_s,
            asked(0, u"first 1 blue second 1"_s),
            asked(4, u"first 41 blue second 41"_s),
            u"show: control 21"_s, // the next one from block 1
            u"pause: 1"_s,
            asked(0, u"first 21 blue second 21"_s),
            asked(4, u"first 41 blue second 41"_s),
        };
        QCOMPARE(s.stage.transcript, expected);
        QVERIFY(s.stage.mismatch.isEmpty());
    }

    void noThenYesGoesToTheNextQuestion()
    {
        Session s;
        prepare(s);
        s.state().YesCount = 2;
        s.stage.replies({Reply::No, Reply::Yes});
        s.conversation->AnyMore();
        QCOMPARE(s.state().NextStep, Step::NextLine);
        QCOMPARE(s.state().YesCount, qint16(0));
        QCOMPARE(s.stage.transcript.last(), asked(4, u"control 81"_s));

        s.stage.replies({u"red"_s, Reply::Ok});
        s.conversation->NextLine();
        QCOMPARE(s.stage.transcript.mid(2),
                 (QStringList{prompt.arg(u"control 61"_s), u"show: control 1"_s, u"pause: 1"_s,
                              asked(0, u"first 21 red second 21"_s)}));
    }

    void noThenNoRunsFinishAndKeepsTheYesCount()
    {
        Session s;
        prepare(s);
        s.state().YesCount = 2;
        s.state().NextStep = Step::GoAgain;
        s.stage.replies({Reply::No, Reply::No, Reply::Yes});
        s.conversation->AnyMore();
        // Finish asked whether to go on; Yes showed slot 10 and left the first question next.
        QCOMPARE(s.stage.transcript.mid(2),
                 (QStringList{asked(4, u"basic 11"_s), u"show: basic 10"_s, u"pause: 1"_s}));
        QCOMPARE(s.state().NextStep, Step::FirstLine);
        QCOMPARE(s.state().YesCount, qint16(2));
        s.stage.reply(Reply::Yes);
        s.conversation->AnyMore();
        QCOMPARE(s.state().NextStep, Step::Special);
    }

    void goAgainReusesTheLastAnswerAndAPromptResetsItsBlock()
    {
        Session s;
        prepare(s);
        s.conversation->Answer = u"tea"_s;
        s.stage.replies({Reply::Ok, Reply::Ok, u"coffee"_s, Reply::Ok});
        s.conversation->GoAgain();
        s.conversation->GoAgain();
        s.state().CurrentLine = u"why?"_s;
        s.conversation->PromptLine();
        QCOMPARE(s.state().AgainFlag, qint16(0));
        s.conversation->GoAgain();
        QCOMPARE(s.stage.transcript.filter(u"show:"_s),
                 (QStringList{u"show: control 1"_s, u"show: control 21"_s, u"show: control 1"_s}));
        QCOMPARE(s.stage.transcript.last(), asked(0, u"first 1 coffee second 1"_s));
    }

    void picksSkipOnlyTheExactMarker()
    {
        Session s;
        prepare(s);
        s.state().ControlLines[1] = u"Empty"_s;
        s.state().ControlLines[2] = u"empty"_s;
        s.state().ControlLines[3] = u"Empty "_s;
        s.stage.draws = {drawFor(1), drawFor(2)};
        s.conversation->GetControlData();
        QCOMPARE(s.state().CurrentLine, u"empty"_s);
        s.stage.draws = {drawFor(1), drawFor(3)};
        s.conversation->GetControlData();
        QCOMPARE(s.state().CurrentLine, u"Empty "_s);
        QCOMPARE(s.stage.reseeds, 2);
    }

    void pairsTestOnlyTheirFirstText()
    {
        Session s;
        prepare(s);
        s.state().DoubleLines[1] = {u"Empty"_s, u"never seen"_s};
        s.state().DoubleLines[2] = {u"I see"_s, u"Empty"_s};
        s.conversation->Answer = QString();
        s.stage.draws = {drawFor(1), drawFor(2)};
        s.stage.reply(Reply::Ok);
        s.conversation->GetDoubleData();
        s.state().CurrentLine =
            s.state().PairFirst + u' ' + s.conversation->Answer + u' ' + s.state().PairSecond;
        QCOMPARE(s.state().CurrentLine, u"I see  Empty"_s);
    }

    void allMarkerBlockGivesUpAfterFiftyDraws()
    {
        Session s;
        prepare(s);
        for (int k = 41; k <= 60; ++k)
            s.state().ControlLines[k] = u"Empty"_s;
        s.state().CurrentLine = u"said before"_s;
        s.state().BlockIndex = 2;
        s.stage.fallback = drawFor(7);
        s.conversation->GetControlData();
        QCOMPARE(s.stage.drawn, 50);
        QCOMPARE(s.stage.transcript, (QStringList{u"box(0)[]: Empty variable..."_s,
                                                  u"box(0)[ERROR - Bad Script]: 47"_s}));
        QCOMPARE(s.state().CurrentLine, u"said before"_s);

        // The step goes on and presents the line presented before.
        s.stage.transcript.clear();
        s.stage.fallback = 0.0;
        s.stage.replies({u"x"_s, Reply::Ok});
        s.state().BlockIndex = 0;
        s.conversation->FirstLine();
        QCOMPARE(s.stage.transcript.at(2), prompt.arg(u"said before"_s));
    }

    void slotOutsideTheTableShowsOnlyItsNumber()
    {
        Session s;
        prepare(s);
        s.state().BlockIndex = 3; // pairs end at 60
        s.stage.draws = {drawFor(4)};
        s.state().PairFirst = u"kept"_s;
        s.conversation->GetDoubleData();
        QCOMPARE(s.stage.transcript, QStringList{u"box(0)[ERROR - Bad Script]: 64"_s});
        QCOMPARE(s.state().PairFirst, u"kept"_s);
    }

    void linesAboveTheLoadedRowsAreEmptyAndDrawn()
    {
        Session s;
        s.fx.createNumbered(TableLayout::basic(), 22);
        s.fx.createNumbered(TableLayout::doubles(), 60);
        s.fx.createNumbered(TableLayout::control(), 90);
        s.open().LoadData();
        s.stage.transcript.clear();
        s.state().BlockIndex = 4;
        s.stage.draws = {drawFor(15)};
        s.state().CurrentLine = u"before"_s;
        s.conversation->GetControlData();
        QCOMPARE(s.state().CurrentLine, QString());
        QVERIFY(s.stage.transcript.isEmpty());
    }

    void finishSaysGoodbyeByTheHour_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<int>("slot");
        const QList<std::pair<QTime, int>> edges{
            {QTime(0, 0), 18},  {QTime(5, 59), 18},  {QTime(6, 0), 19},  {QTime(11, 59), 19},
            {QTime(12, 0), 20}, {QTime(17, 59), 20}, {QTime(18, 0), 21}, {QTime(22, 59), 21},
            {QTime(23, 0), 22}, {QTime(23, 59), 22}};
        for (const auto& [time, slot] : edges)
            QTest::newRow(qPrintable(time.toString(u"hh:mm"_s))) << time << slot;
    }
    void finishSaysGoodbyeByTheHour()
    {
        QFETCH(QTime, time);
        QFETCH(int, slot);
        Session s;
        prepare(s);
        s.stage.now.setTime(time);
        s.state().UserAge = 35;
        s.state().UserName = u"Ann"_s;
        s.stage.replies({Reply::No, Reply::Yes, u"35"_s});
        QVERIFY(s.ends([&] { s.conversation->Finish(); }));
        const QStringList expected{asked(4, u"basic 11"_s),
                                   asked(4, u"basic 12"_s),
                                   prompt.arg(u"basic 13"_s),
                                   u"show: basic 16"_s,
                                   u"pause: 1"_s,
                                   u"show: basic 17 Ann"_s,
                                   u"pause: 1"_s,
                                   u"show: basic %1"_s.arg(slot),
                                   u"pause: 1"_s,
                                   u"about"_s,
                                   u"pause: 8"_s,
                                   u"about hidden"_s,
                                   u"closed"_s};
        QCOMPARE(s.stage.transcript, expected);
    }

    void theClosingExchangeEndsOnlyOnTheAge_data()
    {
        QTest::addColumn<int>("age");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("35") << 35 << u"35"_s << true;
        QTest::newRow("blanks") << 35 << u" 35 "_s << true;
        QTest::newRow("35.0") << 35 << u"35.0"_s << true;
        QTest::newRow("35.5 is 36") << 35 << u"35.5"_s << false;
        QTest::newRow("35.5 for 36") << 36 << u"35.5"_s << true;
        QTest::newRow("34.5 for 34") << 34 << u"34.5"_s << true;
        QTest::newRow("abc") << 35 << u"abc"_s << false;
        QTest::newRow("empty") << 35 << u""_s << false;
        QTest::newRow("huge") << 35 << u"99999"_s << false;
    }
    void theClosingExchangeEndsOnlyOnTheAge()
    {
        QFETCH(int, age);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        Session s;
        prepare(s);
        s.state().UserAge = qint16(age);
        s.conversation->Answer = u"earlier"_s;
        s.stage.replies({Reply::No, Reply::Yes, typed, u"sorry"_s});
        QVERIFY(s.ends([&] { s.conversation->Finish(); }));
        if (accepted) {
            QVERIFY(s.stage.transcript.contains(u"show: basic 16"_s));
            return;
        }
        // The wrong age is echoed as typed, then a repeat and the question again; the replies
        // run out there and the window closes.
        const QStringList tail{prompt.arg(u"basic 15 %1."_s.arg(typed)), u"show: control 1"_s};
        QCOMPARE(s.stage.transcript.mid(3, 2), tail);
        QVERIFY(!s.stage.transcript.contains(u"show: basic 16"_s));
    }

    void noToTheClosingQuestionAsksAgainAfterARepeat()
    {
        Session s;
        prepare(s);
        s.state().UserAge = 20;
        s.stage.replies({Reply::No, Reply::No, u"not now"_s, Reply::Ok, Reply::No, u"no"_s,
                         Reply::Ok, Reply::Yes, u"20"_s});
        QVERIFY(s.ends([&] { s.conversation->Finish(); }));
        QCOMPARE(s.stage.transcript.count(asked(4, u"basic 12"_s)), 3);
        QCOMPARE(s.stage.transcript.count(prompt.arg(u"basic 14"_s)), 2);
        QVERIFY(s.stage.transcript.contains(asked(0, u"first 1 not now second 1"_s)));
        QVERIFY(s.stage.transcript.contains(asked(0, u"first 21 no second 21"_s)) ||
                s.stage.transcript.contains(asked(0, u"first 1 no second 1"_s)));
        QCOMPARE(s.stage.transcript.last(), u"closed"_s);
    }

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
