// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptError.h"
#include "tests/support/Session.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestIntroduction : public QObject {
    Q_OBJECT

    static int countOf(const QStringList& transcript, const QString& entry)
    {
        return int(transcript.count(entry));
    }

private Q_SLOTS:
    void loadDataFailures_data()
    {
        QTest::addColumn<int>("basicRows");
        QTest::addColumn<int>("doubleRows");
        QTest::addColumn<int>("controlRows");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<int>("basicLoaded");
        QTest::addColumn<int>("doubleLoaded");
        QTest::addColumn<int>("controlLoaded");
        QTest::newRow("full") << 22 << 60 << 100 << false << 22 << 60 << 100;
        QTest::newRow("short tables") << 10 << 7 << 90 << false << 10 << 7 << 90;
        QTest::newRow("basic 23") << 23 << 60 << 100 << true << 22 << 0 << 0;
        QTest::newRow("double 61") << 22 << 61 << 100 << true << 22 << 60 << 0;
        QTest::newRow("control 101") << 22 << 60 << 101 << true << 22 << 60 << 100;
        QTest::newRow("empty double") << 22 << 0 << 100 << true << 22 << 0 << 0;
    }
    void loadDataFailures()
    {
        QFETCH(int, basicRows);
        QFETCH(int, doubleRows);
        QFETCH(int, controlRows);
        QFETCH(bool, fails);
        QFETCH(int, basicLoaded);
        QFETCH(int, doubleLoaded);
        QFETCH(int, controlLoaded);

        Session s;
        s.fx.createNumbered(TableLayout::basic(), basicRows, u"basic"_s);
        s.fx.createNumbered(TableLayout::doubles(), doubleRows, u"pair"_s);
        s.fx.createNumbered(TableLayout::control(), controlRows, u"control"_s);
        s.fx.createNumbered(TableLayout::special(), 2);
        s.open().LoadData();

        QCOMPARE(countOf(s.stage.transcript, u"box(0)[]: Error during LoadData."_s), fails ? 1 : 0);
        const Module1& m = s.state();
        for (int k = 1; k <= 22; ++k)
            QCOMPARE(m.BasicLines[k], k <= basicLoaded ? u"basic %1"_s.arg(k) : QString());
        for (int k = 1; k <= 60; ++k) {
            QCOMPARE(m.DoubleLines[k].first, k <= doubleLoaded ? u"pair %1"_s.arg(k) : QString());
            QCOMPARE(m.DoubleLines[k].second, k <= doubleLoaded ? u"pair %1"_s.arg(k) : QString());
        }
        for (int k = 1; k <= 100; ++k)
            QCOMPARE(m.ControlLines[k], k <= controlLoaded ? u"control %1"_s.arg(k) : QString());
    }

    void loadDataStopsAtANullAndNamesIt()
    {
        Session s;
        s.fx.createNumbered(TableLayout::basic(), 22, u"basic"_s);
        s.fx.execute(TableLayout::basic(), u"UPDATE Table1 SET String = NULL WHERE ID = 5"_s);
        s.fx.createNumbered(TableLayout::doubles(), 60);
        s.fx.createNumbered(TableLayout::control(), 100);
        s.open().LoadData();
        QCOMPARE(s.state().BasicLines[4], u"basic 4"_s);
        QCOMPARE(s.state().BasicLines[5], QString());
        QCOMPARE(s.state().DoubleLines[1].first, QString());
        QCOMPARE(s.state().ControlLines[1], QString());
        QVERIFY(s.stage.transcript.contains(u"box(0)[]: Error during LoadData."_s));
        QCOMPARE(s.stage.lastDetails.last(),
                 u"basic.mdb, row 5, field \"String\": the field is "
                 u"empty (null); it must hold a text, even an empty one"_s);
    }

    void missingFileIsToldAtLoadAndAgainByLoadData()
    {
        Session s;
        s.fx.createNumbered(TableLayout::basic(), 22, u"basic"_s);
        s.fx.createNumbered(TableLayout::control(), 100);
        s.fx.createNumbered(TableLayout::special(), 1);
        s.open();
        QCOMPARE(s.stage.transcript.size(), 1);
        QVERIFY2(s.stage.transcript.first().startsWith(
                     u"box(48)[]: double.mdb: the file was not found"_s),
                 qPrintable(s.stage.transcript.first()));
        s.conversation->LoadData();
        QCOMPARE(s.state().BasicLines[22], u"basic 22"_s);
        QCOMPARE(s.state().ControlLines[1], QString());
        QVERIFY(s.stage.transcript.contains(u"box(0)[]: Error during LoadData."_s));
    }

    void introductionAsksUntilTheBirthDateReads()
    {
        Session s;
        s.fx.createFullScript();
        s.stage.now = QDateTime(QDate(2005, 6, 5), QTime(9, 0));
        s.stage.replies({u"Ann"_s, u"13/45/99"_s, u""_s, u"06/15/65"_s});
        s.open().BUTTON_Click();

        const QStringList expected{
            u"start hidden"_s,
            u"show: basic 1"_s,
            u"pause: 1"_s,
            u"prompt[Veyrath Message]: basic 2"_s,
            u"prompt[Veyrath Message]: basic 3"_s,
            u"box(64)[Information]: Please use format MM/DD/YY"_s,
            u"prompt[Veyrath Message]: basic 3"_s,
            u"box(64)[Information]: Please use format MM/DD/YY"_s,
            u"prompt[Veyrath Message]: basic 3"_s,
            u"show: Ann basic 4"_s,
            u"pause: 1"_s,
        };
        QCOMPARE(s.stage.transcript.mid(0, expected.size()), expected);
        for (int slot = 5; slot <= 10; ++slot)
            QVERIFY(s.stage.transcript.contains(u"show: basic %1"_s.arg(slot)));
        QCOMPARE(s.state().UserName, u"Ann"_s);
        QCOMPARE(s.state().BirthDate, u"06/15/65"_s);
        QCOMPARE(s.state().UserAge, qint16(40)); // 14600 days: ten days before the birthday
        QCOMPARE(s.stage.spoken.mid(0, 3), (QStringList{u"basic 1"_s, u"basic 2"_s, u"basic 3"_s}));
        // The question loop began with its first question and ended when the replies ran out.
        QVERIFY(s.stage.transcript.contains(u"prompt[Veyrath Message]: control 41"_s));
        QCOMPARE(s.stage.transcript.last(), u"closed"_s);
        QVERIFY(s.conversation->hasEnded());
        QVERIFY(s.stage.mismatch.isEmpty());
    }

    void emptyNameGreetsWithALeadingBlank()
    {
        Session s;
        s.fx.createFullScript();
        s.stage.replies({u""_s, u"1/1/1990"_s});
        s.open().BUTTON_Click();
        QVERIFY(s.stage.transcript.contains(u"show:  basic 4"_s));
    }

    void introductionRunsOnEmptyTablesAfterAFailedLoad()
    {
        Session s; // no files at all
        s.stage.replies({u"Bo"_s, u"1/1/1990"_s});
        s.open().BUTTON_Click();
        QVERIFY(s.stage.transcript.contains(u"box(0)[]: Error during LoadData."_s));
        QVERIFY(s.stage.transcript.contains(u"show: Bo "_s));
        QVERIFY(s.stage.transcript.contains(u"prompt[Veyrath Message]: "_s));
        QCOMPARE(s.stage.transcript.last(), u"closed"_s);
    }

    void ageCountsWholeYearsOfDays_data()
    {
        QTest::addColumn<QDate>("born");
        QTest::addColumn<int>("age");
        const QDate today(2026, 12, 7);
        QTest::newRow("today") << today << 0;
        QTest::newRow("364 days") << today.addDays(-364) << 0;
        QTest::newRow("365 days") << today.addDays(-365) << 1;
        QTest::newRow("tomorrow") << today.addDays(1) << -1;
        QTest::newRow("past a 16-bit day count") << QDate(1920, 1, 1) << 107;
        QTest::newRow("very old") << QDate(1000, 1, 1) << 1027;
    }
    void ageCountsWholeYearsOfDays()
    {
        QFETCH(QDate, born);
        QFETCH(int, age);
        Session s;
        Conversation& c = s.open();
        s.stage.transcript.clear();
        s.state().BirthDate = born.toString(u"MM/dd/yyyy"_s);
        c.ComputeAge();
        QCOMPARE(s.state().UserAge, qint16(age));
    }

    void pauseTable_data()
    {
        QTest::addColumn<int>("characters");
        QTest::addColumn<int>("seconds");
        const QList<std::pair<int, int>> table{{0, 0},  {5, 0},  {6, 1},  {14, 1}, {15, 2},
                                               {25, 2}, {26, 3}, {34, 3}, {35, 4}, {45, 4},
                                               {46, 5}, {54, 5}, {55, 6}, {65, 6}, {255, 26}};
        for (const auto& [characters, seconds] : table)
            QTest::addRow("%d characters", characters) << characters << seconds;
    }
    void pauseTable()
    {
        QFETCH(int, characters);
        QFETCH(int, seconds);
        Session s;
        Conversation& c = s.open();
        s.stage.transcript.clear();
        const double before = s.stage.monotonic;
        s.state().CurrentLine = QString(characters, u'x');
        c.ShowLine();
        QCOMPARE(s.stage.displayed, s.state().CurrentLine);
        QCOMPARE(s.stage.monotonic - before, double(seconds));
        // A pause of nothing waits for nothing and handles no events.
        QCOMPARE(s.stage.transcript.filter(u"pause:"_s).size(), seconds > 0 ? 1 : 0);
    }

    void exitDuringAPauseEndsTheConversationThere()
    {
        Session s;
        s.fx.createFullScript();
        s.stage.replies({u"Ann"_s, u"1/1/1990"_s});
        Conversation& c = s.open();
        s.stage.duringWait = [&](double) { c.MNU_EXIT_Click(); };
        c.BUTTON_Click();
        const QStringList expected{u"start hidden"_s, u"show: basic 1"_s, u"pause: 1"_s, u"about"_s,
                                   u"pause: 10"_s,    u"about hidden"_s,  u"closed"_s};
        QCOMPARE(s.stage.transcript, expected);
        QVERIFY(c.hasEnded());
    }

    void exitBeforeStartShowsTheFarewellForTenSeconds()
    {
        Session s;
        Conversation& c = s.open();
        s.stage.transcript.clear();
        c.MNU_EXIT_Click();
        QCOMPARE(s.stage.transcript,
                 (QStringList{u"about"_s, u"pause: 10"_s, u"about hidden"_s, u"closed"_s}));
    }

    void persistenceMenuKeepsOneCheckMark()
    {
        Session s;
        Conversation& c = s.open();
        QCOMPARE(s.state().PersistLevel, Persistence::Medium);
        QCOMPARE(s.state().PersistCode, u"M"_s);
        c.MNU_HIGH_Click();
        c.MNU_LOW_Click();
        QCOMPARE(s.stage.markedPersistence, Persistence::Low);
        QCOMPARE(s.state().PersistLevel, Persistence::Low);
        c.MNU_LOW_Click();
        QCOMPARE(s.stage.markedPersistence, Persistence::Low);
        c.MNU_HIGH_Click();
        QCOMPARE(s.state().PersistLevel, Persistence::High);
        QCOMPARE(s.stage.markedPersistence, Persistence::High);
    }
};

QTEST_GUILESS_MAIN(TestIntroduction)
#include "tst_introduction.moc"
