// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The editor beside a running runner: a second process counts Yes replies on the rows of a
// special-case script through the runner's own counting code while the editor's model saves
// edits to the text fields of the same rows, as an author leaving one row for the next.
// Prints what was lost or refused; every figure must be 0, and the exit status says so.
#include "bench/SoakScript.h"
#include "editor/model/RecordModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
using SoakScript::rows;
int counts = 10000;
int edits = 1000;
// Both run for about ten seconds, so that counts and saves meet all along.
constexpr unsigned long countPauseUs = 1000;
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc > 2) {
        counts = QByteArray(argv[1]).toInt();
        edits = QByteArray(argv[2]).toInt();
    }
    QTemporaryDir dir;
    SoakScript::write(dir.path());
    RecordModel model(ScriptTable::open(dir.path(), TableLayout::special()));
    int conflicts = 0;
    int lockedEdits = 0;
    QStringList otherMessages;
    model.setConflictResolver([&](const QString& question) {
        ++conflicts;
        otherMessages << question;
        return RecordModel::Choice::KeepMine;
    });
    QObject::connect(&model, &RecordModel::failed, [&](const QString& message) {
        if (message.contains(u"locked"_s))
            ++lockedEdits;
        else
            otherMessages << message;
    });

    QProcess counter;
    counter.start(QStringLiteral(SOAK_COUNTER),
                  {dir.path(), QString::number(counts), QString::number(countPauseUs)});
    if (!counter.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the counter did not start\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    SoakScript::Edits typed;
    int editsWhileCounting = 0;
    for (int i = 0; i < edits; ++i) {
        typed.make(model, i);
        if (counter.state() == QProcess::Running)
            ++editsWhileCounting;
        QThread::usleep(countPauseUs * counts / edits);
    }
    const qint64 editMs = clock.elapsed();
    counter.waitForFinished(-1);
    const QString counterSays = QString::fromUtf8(counter.readAllStandardOutput()).trimmed();
    const QStringList words = counterSays.split(u'\n').last().split(u' ');
    const int counted = words.value(1).toInt();
    const int counterLocked = words.value(3).toInt();
    const int counterFailed = words.value(5).toInt();
    const qint64 countMs = clock.elapsed();

    const auto [editsLost, total] = typed.lostAndCounted(dir.path());
    const qint64 countsLost = counts - counterLocked - counterFailed - total;
    std::printf("%d edits on %d rows (%d while the counter ran, %lld ms, longest save %lld ms) "
                "beside %d counted Yes (%lld ms)\n",
                edits, rows, editsWhileCounting, editMs, typed.longestSaveMs(), counted, countMs);
    std::printf("counts lost: %lld\n", countsLost);
    std::printf("edits lost: %d\n", editsLost + (model.hasUnsavedEdits() ? 1 : 0));
    std::printf("spurious conflicts: %d\n", conflicts);
    std::printf("\"database is locked\" failures: %d (counter %d, editor %d)\n",
                counterLocked + lockedEdits, counterLocked, lockedEdits);
    for (const QString& message : otherMessages)
        std::printf("message: %s\n", qUtf8Printable(message));
    const bool clean = countsLost == 0 && editsLost == 0 && !model.hasUnsavedEdits() &&
                       conflicts == 0 && counterLocked + lockedEdits == 0 && counterFailed == 0 &&
                       otherMessages.isEmpty() && counted == counts;
    return clean ? 0 : 1;
}
