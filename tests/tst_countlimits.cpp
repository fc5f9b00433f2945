// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The Yes count at its limits: the largest number the file holds, and a file held by another
// program for longer than the count waits.
#include "tests/support/FileLock.h"
#include "tests/support/Session.h"

#include <QTest>
#include <limits>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
QString prompted(const QString& line)
{
    return u"prompt[Veyrath Message]: "_s + line;
}

// Yes to the special question, then an answer to its first prompt, and the question loop goes
// on: OK to the repeat, No to "any more?", Yes to the control question.
QList<FakeStage::Said> yesThenGoOn(const QString& answer = u"fine"_s)
{
    return {Reply::Yes, answer, Reply::Ok, Reply::No, Reply::Yes};
}
} // namespace

class TestCountLimits : public QObject {
    Q_OBJECT

    static void prepare(Session& s, int rows)
    {
        s.fx.createNumbered(TableLayout::special(), rows);
        s.open();
        s.fillLines();
        s.stage.transcript.clear();
        s.state().NextStep = Step::Special;
    }

private Q_SLOTS:
    void countAtTheLargestStaysThereAndIsToldOnce()
    {
        Session s;
        prepare(s, 1);
        const qint64 largest = std::numeric_limits<qint64>::max();
        s.fx.execute(TableLayout::special(), u"UPDATE Table1 SET Yes = %1"_s.arg(largest));
        s.conversation->MNU_LOW_Click();
        for (int round = 0; round < 2; ++round) {
            s.stage.replies(yesThenGoOn());
            s.conversation->Special();
        }
        // A whole number still, not a fraction, and the case is asked as before.
        const QVariant count = s.fx.column(TableLayout::special(), u"Yes"_s).at(0);
        QCOMPARE(count.typeId(), QMetaType::LongLong);
        QCOMPARE(count.toLongLong(), largest);
        QCOMPARE(s.stage.transcript.count(prompted(u"Enhance Process 1"_s)), 2);
        QCOMPARE(s.stage.lastDetails.size(), 1);
        QVERIFY2(s.stage.lastDetails.first().contains(u"counts no more Yes replies"_s),
                 qPrintable(s.stage.lastDetails.first()));
    }

    void fileHeldPastTheWaitIsToldOncePerYes()
    {
        Session s;
        s.fx.createNumbered(TableLayout::special(), 1);
        // Rollback mode, as made elsewhere: there a lock holds off the reads of the prompts too.
        s.fx.execute(TableLayout::special(), u"PRAGMA journal_mode = DELETE"_s);
        s.open();
        s.fillLines();
        s.state().NextStep = Step::Special;
        s.conversation->MNU_LOW_Click();
        std::optional<FileLock> lock;
        s.stage.whileAsked = [&](const QString&) {
            if (!lock)
                lock.emplace(s.fx.path(TableLayout::special()), FileLock::Kind::Exclusive);
        };
        s.stage.replies(yesThenGoOn());
        s.conversation->Special();
        lock.reset();
        QCOMPARE(s.stage.lastDetails.size(), 1);
        QVERIFY2(s.stage.lastDetails.first().contains(u"the Yes was not counted"_s),
                 qPrintable(s.stage.lastDetails.first()));
        // The prompt read with the question is asked, without a second wait.
        QCOMPARE(s.stage.transcript.count(prompted(u"Enhance Process 1"_s)), 1);
    }
};

QTEST_GUILESS_MAIN(TestCountLimits)
#include "tst_countlimits.moc"
