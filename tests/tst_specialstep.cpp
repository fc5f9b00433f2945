// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptTable.h"
#include "script/SpecialRules.h"
#include "tests/support/FileLock.h"
#include "tests/support/Session.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
QString asked(const QString& line)
{
    return u"ask(4)[Veyrath Message]: "_s + line;
}
QString prompted(const QString& line)
{
    return u"prompt[Veyrath Message]: "_s + line;
}
QString question(int row)
{
    return u"Primary Question (Y/N) %1"_s.arg(row);
}

// Answers a follow-up prompt and lets the question loop go on to the next prompt:
// the answer, OK to the repeat, No to "any more?", Yes to the control question.
QList<FakeStage::Said> goOn(const QString& answer = u"fine"_s)
{
    return {answer, Reply::Ok, Reply::No, Reply::Yes};
}
} // namespace

class TestSpecialStep : public QObject {
    Q_OBJECT

    static void prepare(Session& s, int rows = 6)
    {
        s.fx.createNumbered(TableLayout::special(), rows);
        s.open();
        s.fillLines();
        s.stage.transcript.clear();
        s.state().NextStep = Step::Special;
    }

private Q_SLOTS:
    void levelDecidesHowManyPromptsFollow_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QStringList>("prompts");
        QTest::newRow("low") << u"L"_s << QStringList{u"Enhance Process 1"_s};
        QTest::newRow("medium") << u"M"_s
                                << QStringList{u"Enhance Process 1"_s, u"2nd Question (Input) 1"_s,
                                               u"3rd Question (Input) 1"_s};
        QTest::newRow("high") << u"H"_s
                              << QStringList{u"Enhance Process 1"_s, u"2nd Question (Input) 1"_s,
                                             u"3rd Question (Input) 1"_s,
                                             u"4th Question (Input) 1"_s};
    }
    void levelDecidesHowManyPromptsFollow()
    {
        QFETCH(QString, level);
        QFETCH(QStringList, prompts);
        Session s;
        prepare(s);
        Conversation& c = *s.conversation;
        if (level == u"L"_s)
            c.MNU_LOW_Click();
        else if (level == u"H"_s)
            c.MNU_HIGH_Click();
        s.stage.reply(Reply::Yes);
        for (qsizetype i = 0; i < prompts.size(); ++i)
            s.stage.replies(goOn());
        c.Special();
        QStringList asked;
        for (const QString& entry : s.stage.transcript.filter(u"prompt["_s))
            asked << entry.section(u": "_s, 1);
        QCOMPARE(asked, prompts);
        QCOMPARE(s.state().NextStep, Step::NextLine);
        QCOMPARE(s.fx.column(TableLayout::special(), u"Yes"_s).first().toInt(), 1);

        // The confirmed row stays current: the next special case asks it again.
        s.stage.transcript.clear();
        QVERIFY(s.ends([&] { c.Special(); }));
        QCOMPARE(s.stage.transcript.first(), ::asked(question(1)));
    }

    void levelIsReadOncePerConfirmedRow()
    {
        Session s;
        prepare(s);
        s.conversation->MNU_LOW_Click();
        s.stage.replies({Reply::Yes, u"fine"_s, Reply::Ok});
        s.stage.duringWait = [&](double) { s.conversation->MNU_HIGH_Click(); };
        s.stage.replies({Reply::No, Reply::Yes});
        s.conversation->Special();
        QCOMPARE(s.stage.transcript.filter(u"prompt["_s).size(), 1);
        QCOMPARE(s.state().PersistLevel, Persistence::High);
    }

    void newSpecialCaseMovesOnWithoutCountingAgain()
    {
        Session s;
        prepare(s);
        s.state().YesCount = 2;
        s.stage.replies({Reply::Yes, u"fine"_s, Reply::Ok, Reply::Yes, Reply::No});
        QVERIFY(s.ends([&] { s.conversation->Special(); }));
        QVERIFY(s.stage.transcript.contains(asked(question(2))));
        QVERIFY(s.stage.transcript.contains(asked(question(3))));
        QVERIFY(!s.stage.transcript.contains(prompted(u"2nd Question (Input) 1"_s)));
        QCOMPARE(s.fx.column(TableLayout::special(), u"Yes"_s), (QVariantList{1, 0, 0, 0, 0, 0}));
    }

    void twoNoRepliesRunTheFinishDialogueTwice()
    {
        Session s;
        prepare(s);
        s.conversation->MNU_LOW_Click();
        s.stage.replies(
            {Reply::Yes, u"fine"_s, Reply::Ok, Reply::No, Reply::No, Reply::Yes, Reply::Yes});
        s.conversation->Special();
        QCOMPARE(s.stage.transcript.count(asked(u"basic 11"_s)), 2);
        QCOMPARE(s.stage.transcript.count(u"show: basic 10"_s), 2);
        QCOMPARE(s.state().NextStep, Step::FirstLine);
    }

    void noThroughoutCyclesInCountOrder()
    {
        Session s;
        s.fx.createNumbered(TableLayout::special(), 4);
        s.fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = 5 WHERE ID = 3"_s);
        s.fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = 2 WHERE ID = 4"_s);
        s.open();
        s.fillLines();
        s.stage.transcript.clear();
        s.state().NextStep = Step::Special;
        s.stage.replies({Reply::No, Reply::No, Reply::No, Reply::No});
        s.conversation->Special();
        QCOMPARE(s.state().NextStep, Step::Special);
        QCOMPARE(s.stage.transcript, (QStringList{asked(question(3)), asked(question(4)),
                                                  asked(question(1)), asked(question(2))}));
        s.stage.transcript.clear();
        QVERIFY(s.ends([&] { s.conversation->Special(); }));
        QCOMPARE(s.stage.transcript.first(), asked(question(3)));
    }

    void emptyCountStaysEmpty()
    {
        Session s;
        s.fx.createNumbered(TableLayout::special(), 1);
        s.fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = NULL"_s);
        s.open();
        s.fillLines();
        s.conversation->MNU_LOW_Click();
        s.stage.reply(Reply::Yes);
        s.stage.replies(goOn());
        s.conversation->Special();
        QVERIFY(s.fx.column(TableLayout::special(), u"Yes"_s).first().isNull());
        QVERIFY(s.stage.lastDetails.isEmpty());
    }

    void authorsEditsMeanwhileAreWhatIsAsked()
    {
        Session s;
        prepare(s, 3);
        s.fx.execute(TableLayout::special(),
                     u"UPDATE Table1 SET \"Primary Question (Y/N)\" = 'Changed?' WHERE ID = 1"_s);
        s.fx.execute(TableLayout::special(), u"DELETE FROM Table1 WHERE ID = 2"_s);
        s.stage.replies({Reply::No, Reply::No});
        s.conversation->Special();
        QCOMPARE(s.stage.transcript, (QStringList{asked(u"Changed?"_s), asked(question(3))}));
    }

    void missingOrEmptyTablesLetTheLoopGoOn()
    {
        for (bool missing : {true, false}) {
            Session s;
            if (!missing)
                s.fx.create(TableLayout::special());
            s.open();
            s.stage.transcript.clear();
            s.state().NextStep = Step::Special;
            s.conversation->Special();
            QCOMPARE(s.state().NextStep, Step::NextLine);
            // An empty table is told once; a missing file was told when the window loaded.
            QCOMPARE(s.stage.transcript.size(), missing ? 0 : 1);
            s.conversation->Special();
            QCOMPARE(s.stage.transcript.size(), missing ? 0 : 1);
            QCOMPARE(s.state().NextStep, Step::NextLine);
        }
    }

    void nullQuestionsAreToldAndGoneAround()
    {
        Session s;
        prepare(s, 2);
        s.fx.execute(TableLayout::special(),
                     u"UPDATE Table1 SET \"Primary Question (Y/N)\" = NULL WHERE ID = 1"_s);
        s.stage.reply(Reply::No);
        s.conversation->Special();
        QCOMPARE(s.stage.transcript.first().left(8), u"box(48)["_s);
        QCOMPARE(s.stage.transcript.at(1), asked(question(2)));
        QCOMPARE(s.stage.lastDetails.first(),
                 u"special.mdb, row 1, field \"Primary Question (Y/N)\": "_s +
                     SpecialRules::unaskedReason(SpecialRules::questionPosition));

        // With nothing left to ask, the step hands back to the loop instead of spinning.
        s.fx.execute(TableLayout::special(),
                     u"UPDATE Table1 SET \"Primary Question (Y/N)\" = NULL"_s);
        s.stage.transcript.clear();
        s.conversation->Special();
        s.conversation->Special();
        QCOMPARE(s.state().NextStep, Step::NextLine);
        QCOMPARE(s.stage.transcript.size(), 2); // row 2 and "none can be asked", once each
    }

    void nullPromptIsSkipped()
    {
        Session s;
        prepare(s, 1);
        s.fx.execute(TableLayout::special(),
                     u"UPDATE Table1 SET \"2nd Question (Input)\" = NULL"_s);
        s.stage.reply(Reply::Yes);
        s.stage.replies(goOn());
        s.stage.replies(goOn());
        s.conversation->Special();
        QCOMPARE(s.stage.transcript.filter(u"prompt["_s).size(), 2);
        QVERIFY(s.stage.lastDetails.first().contains(u"row 1, field \"2nd Question (Input)\""_s));
    }

    void countHeldOffTooLongIsToldAndTheConversationGoesOn()
    {
        Session s;
        prepare(s, 1);
        {
            FileLock lock(s.fx.path(TableLayout::special()), FileLock::Kind::Write);
            s.conversation->MNU_LOW_Click();
            s.stage.reply(Reply::Yes);
            s.stage.replies(goOn());
            s.conversation->Special();
        }
        QCOMPARE(s.stage.transcript.filter(u"prompt["_s).size(), 1);
        QVERIFY2(s.stage.lastDetails.first().startsWith(
                     u"special.mdb, row 1, field \"Yes\": the Yes was not counted"_s),
                 qPrintable(s.stage.lastDetails.first()));
        QCOMPARE(s.fx.column(TableLayout::special(), u"Yes"_s).first().toInt(), 0);
    }

    void confirmedCaseWithNothingToAskIsCountedOnceAndHandsBack_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("nulls");
        QTest::newRow("low, first prompt null") << u"L"_s << u"\"Enhance Process\" = NULL"_s;
        QTest::newRow("high, every prompt null")
            << u"H"_s
            << u"\"Enhance Process\" = NULL, \"2nd Question (Input)\" = NULL, "
               u"\"3rd Question (Input)\" = NULL, \"4th Question (Input)\" = NULL"_s;
    }
    void confirmedCaseWithNothingToAskIsCountedOnceAndHandsBack()
    {
        QFETCH(QString, level);
        QFETCH(QString, nulls);
        Session s;
        prepare(s, 2);
        s.fx.execute(TableLayout::special(), u"UPDATE Table1 SET %1 WHERE ID = 1"_s.arg(nulls));
        level == u"L"_s ? s.conversation->MNU_LOW_Click() : s.conversation->MNU_HIGH_Click();
        // Yes to the question; then the repeat and "any more?" as after a last prompt.
        s.stage.replies({Reply::Yes, Reply::Ok, Reply::No, Reply::Yes});
        s.conversation->Special();
        QCOMPARE(s.fx.column(TableLayout::special(), u"Yes"_s), (QVariantList{1, 0}));
        QCOMPARE(s.stage.transcript.count(asked(question(1))), 1);
        QVERIFY(s.stage.transcript.filter(u"prompt["_s).isEmpty());
        QCOMPARE(s.state().NextStep, Step::NextLine);
    }

    void anotherProgramsLockNeverEndsTheConversation_data()
    {
        QTest::addColumn<bool>("released");
        QTest::newRow("held throughout") << false;
        QTest::newRow("released while the step waits") << true;
    }
    void anotherProgramsLockNeverEndsTheConversation()
    {
        QFETCH(bool, released);
        Session s;
        s.fx.createNumbered(TableLayout::special(), 2);
        // A file in rollback mode, as made elsewhere: there a lock holds off readers too.
        s.fx.execute(TableLayout::special(), u"PRAGMA journal_mode = DELETE"_s);
        s.open();
        s.fillLines();
        s.stage.transcript.clear();
        s.state().NextStep = Step::Special;
        s.conversation->MNU_LOW_Click();
        std::optional<FileLock> lock;
        lock.emplace(s.fx.path(TableLayout::special()), FileLock::Kind::Exclusive);
        if (released)
            s.stage.duringWait = [&](double) { lock.reset(); };
        s.stage.reply(Reply::Yes);
        s.stage.replies(goOn());
        s.conversation->Special();
        lock.reset();

        // Either the special case waited for the file and was counted once, or it was told
        // once and the loop went on to its next question, to ask it again later.
        QCOMPARE(s.state().NextStep, Step::NextLine);
        QCOMPARE(s.fx.column(TableLayout::special(), u"Yes"_s).first().toInt(), released ? 1 : 0);
        QCOMPARE(s.stage.transcript.contains(asked(question(1))), released);
        QCOMPARE(s.stage.lastDetails.size(), released ? 0 : 1);
        if (!released)
            QVERIFY2(s.stage.lastDetails.first().startsWith(u"special.mdb: "_s),
                     qPrintable(s.stage.lastDetails.first()));
        QVERIFY(!s.conversation->hasEnded());
    }

    void fileGoneMeanwhileIsToldAsSuch_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<QString>("told");
        QTest::newRow("deleted") << false << u"the file was deleted while"_s;
        QTest::newRow("replaced") << true << u"the file was replaced by another while"_s;
    }
    void fileGoneMeanwhileIsToldAsSuch()
    {
        QFETCH(bool, replaced);
        QFETCH(QString, told);
        Session s;
        prepare(s, 2);
        s.conversation->MNU_LOW_Click();
        const QString path = s.fx.path(TableLayout::special());
        QVERIFY(QFile::rename(path, path + u".old"_s));
        if (replaced)
            QVERIFY(QFile::copy(path + u".old"_s, path));
        s.stage.reply(Reply::Yes);
        s.stage.replies(goOn());
        s.conversation->Special();
        QVERIFY(!s.stage.lastDetails.isEmpty());
        QVERIFY2(s.stage.lastDetails.first().contains(told),
                 qPrintable(s.stage.lastDetails.join(u" | "_s)));
        QVERIFY(!s.conversation->hasEnded());
    }

    void countsAndEditsFromTwoProgramsAllArrive()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        constexpr int counts = 300;
        QProcess counter;
        counter.start(QStringLiteral(SPECIAL_COUNTER), {fx.dir(), QString::number(counts)});
        QVERIFY(counter.waitForStarted());

        // Meanwhile an editor saves the texts of the same rows again and again.
        auto editor = ScriptTable::open(fx.dir(), TableLayout::special());
        int edits = 0;
        while (counter.state() != QProcess::NotRunning || edits < 50) {
            ++edits;
            editor->writeTransaction([&] {
                editor->exec(u"UPDATE Table1 SET Description = ?, \"Enhance Process\" = ? "
                             u"WHERE ID = ?"_s,
                             {u"edit %1"_s.arg(edits), u"prompt %1"_s.arg(edits), 1 + edits % 3});
            });
            counter.waitForFinished(1);
        }
        QCOMPARE(counter.exitStatus(), QProcess::NormalExit);
        QCOMPARE(counter.exitCode(), 0);
        QCOMPARE(counter.readAllStandardError(), QByteArray());
        const QVariantList yes = fx.column(TableLayout::special(), u"Yes"_s);
        QCOMPARE(yes.first().toInt(), counts);
        const int last = 1 + edits % 3;
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s).at(last - 1).toString(),
                 u"edit %1"_s.arg(edits));
    }
};

QTEST_GUILESS_MAIN(TestSpecialStep)
#include "tst_specialstep.moc"
