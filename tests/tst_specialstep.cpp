#include "script/ScriptTable.h"
#include "script/SpecialRules.h"
#include "tests/support/FileLock.h"
#include "tests/support/Session.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTest>

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
QVariantList goOn(const QString& answer = u"fine"_s)
{
    return {answer, 1, 7, 6};
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
        s.state().NextStep = 4;
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
        s.stage.reply(6);
        for (qsizetype i = 0; i < prompts.size(); ++i)
            s.stage.replies(goOn());
        c.Special();
        QStringList asked;
        for (const QString& entry : s.stage.transcript.filter(u"prompt["_s))
            asked << entry.section(u": "_s, 1);
        QCOMPARE(asked, prompts);
        QCOMPARE(s.state().NextStep, qint16(2));
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
        s.stage.replies({6, u"fine"_s, 1});
        s.stage.duringWait = [&](double) { s.conversation->MNU_HIGH_Click(); };
        s.stage.replies({7, 6});
        s.conversation->Special();
        QCOMPARE(s.stage.transcript.filter(u"prompt["_s).size(), 1);
        QCOMPARE(s.state().PersistLevel, qint16(7));
    }

    void newSpecialCaseMovesOnWithoutCountingAgain()
    {
        Session s;
        prepare(s);
        s.state().YesCount = 2;
        s.stage.replies({6, u"fine"_s, 1, 6, 7});
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
        s.stage.replies({6, u"fine"_s, 1, 7, 7, 6, 6});
        s.conversation->Special();
        QCOMPARE(s.stage.transcript.count(asked(u"basic 11"_s)), 2);
        QCOMPARE(s.stage.transcript.count(u"show: basic 10"_s), 2);
        QCOMPARE(s.state().NextStep, qint16(1));
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
        s.state().NextStep = 4;
        s.stage.replies({7, 7, 7, 7});
        s.conversation->Special();
        QCOMPARE(s.state().NextStep, qint16(4));
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
        s.stage.reply(6);
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
        s.stage.replies({7, 7});
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
            s.state().NextStep = 4;
            s.conversation->Special();
            QCOMPARE(s.state().NextStep, qint16(2));
            // An empty table is told once; a missing file was told when the window loaded.
            QCOMPARE(s.stage.transcript.size(), missing ? 0 : 1);
            s.conversation->Special();
            QCOMPARE(s.stage.transcript.size(), missing ? 0 : 1);
            QCOMPARE(s.state().NextStep, qint16(2));
        }
    }

    void nullQuestionsAreToldAndGoneAround()
    {
        Session s;
        prepare(s, 2);
        s.fx.execute(TableLayout::special(),
                     u"UPDATE Table1 SET \"Primary Question (Y/N)\" = NULL WHERE ID = 1"_s);
        s.stage.reply(7);
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
        QCOMPARE(s.state().NextStep, qint16(2));
        QCOMPARE(s.stage.transcript.size(), 2); // row 2 and "none can be asked", once each
    }

    void nullPromptIsSkipped()
    {
        Session s;
        prepare(s, 1);
        s.fx.execute(TableLayout::special(),
                     u"UPDATE Table1 SET \"2nd Question (Input)\" = NULL"_s);
        s.stage.reply(6);
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
            s.stage.reply(6);
            s.stage.replies(goOn());
            s.conversation->Special();
        }
        QCOMPARE(s.stage.transcript.filter(u"prompt["_s).size(), 1);
        QVERIFY2(s.stage.lastDetails.first().startsWith(
                     u"special.mdb, row 1, field \"Yes\": the confirmation could not be counted"_s),
                 qPrintable(s.stage.lastDetails.first()));
        QCOMPARE(s.fx.column(TableLayout::special(), u"Yes"_s).first().toInt(), 0);
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
