// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptTable.h"
#include "tests/support/ScriptFixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <csignal>

using namespace Qt::Literals::StringLiterals;

// The runner counts a Yes in one committed statement; a process killed at any moment must
// leave every file sound and every count grown only by whole replies, and an editor saving
// beside it loses neither its edits nor the counts.
class TestCrashSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWhileCountingLosesNothingButTheReplyInFlight()
    {
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        const QVariantList textsBefore = fx.column(TableLayout::special(), u"Description"_s);
        qint64 previous = 0;
        for (int round = 0; round < 100; ++round) {
            QProcess counter;
            counter.start(QStringLiteral(SPECIAL_COUNTER), {fx.dir(), u"1000000"_s});
            QVERIFY(counter.waitForStarted());
            QTest::qSleep(int(QRandomGenerator::global()->bounded(5, 60)));
            ::kill(pid_t(counter.processId()), SIGKILL);
            QVERIFY(counter.waitForFinished());

            QCOMPARE(fx.integrity(TableLayout::special()), u"ok"_s);
            const QVariant count = fx.column(TableLayout::special(), u"Yes"_s).first();
            QCOMPARE(count.typeId(), QMetaType::LongLong);
            QVERIFY2(
                count.toLongLong() >= previous,
                qPrintable(u"count fell from %1 to %2"_s.arg(previous).arg(count.toLongLong())));
            previous = count.toLongLong();
        }
        // A counter left to finish adds exactly its replies to whatever the killed ones left.
        QProcess counter;
        counter.start(QStringLiteral(SPECIAL_COUNTER), {fx.dir(), u"10"_s});
        QVERIFY(counter.waitForFinished(60000));
        QCOMPARE(counter.exitCode(), 0);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).first().toLongLong(), previous + 10);
        QCOMPARE(fx.column(TableLayout::special(), u"Description"_s), textsBefore);
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s).mid(1), (QVariantList{0, 0}));
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

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
