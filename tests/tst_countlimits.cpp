// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The Yes count at its limits: the largest number the file holds, and a file held by another
// program for longer than the count waits.
#include "tests/support/Rehearsal.h"

#include <QTest>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
const Beats low = beats(Persistence::Low, "marked: Low");
const Beats toCase1 = beats(toTwoYes(), "ask: first 41 blue second 41", Reply::Yes);
const Beats nextQuestion = beats("input: control 61 | closed");
const char* answered = "input: case 1 prompt 1 | > fine | show: control 1 (1 s)";
} // namespace

class TestCountLimits : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countAtTheLargestStaysThereAndIsToldOnce()
    {
        Rehearsal r;
        r.play(beats(low, toCase1, "ask: case 1?", Reply::Yes, nextQuestion),
               {u"special: UPDATE Table1 SET \"Yes\" = 9223372036854775807 WHERE \"ID\" = 1"_s});
        r.check();
    }

    void fileHeldPastTheWaitIsToldOncePerYes()
    {
        Rehearsal r;
        std::optional<FileLock> lock;
        const Meanwhile held{u"special.mdb held"_s, [&] {
                                 lock.emplace(r.fx, TableLayout::special(),
                                              FileLock::Kind::Exclusive);
                             }};
        // Rollback mode, as made elsewhere: there a lock holds off the reads of the prompts too.
        r.play(beats(low, toCase1, "ask: case 1?", held, Reply::Yes, nextQuestion),
               {u"special: PRAGMA journal_mode = DELETE"_s});
        r.check();
    }
};

QTEST_GUILESS_MAIN(TestCountLimits)
#include "tst_countlimits.moc"
