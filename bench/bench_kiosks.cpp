// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Many kiosks on one script: eight processes count Yes replies through the runner's own
// counting code as fast as they can, while this process, as the editor, saves edits to the
// text fields of the same rows through the editor's model. Run on a folder and on a server
// side by side; prints counts a second and what was lost, which must be nothing, and the exit
// status says so.
#include "bench/SoakScript.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptError.h"
#include "script/ScriptLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {
using SoakScript::rows;
constexpr int kiosks = 8;
constexpr int countsEach = 1000;
constexpr int edits = 1000;

struct Outcome {
    double countsPerSecond = 0;
    double savesPerSecond = 0;
    qint64 longestSaveMs = 0;
    qint64 shownAfterMs = -1; // a count made elsewhere, until the editor shows it
    qint64 countsLost = 0;
    int editsLost = 0;
    int conflicts = 0;
    int failures = 0; // counts or saves refused
    QStringList messages;
};

QProcess* startCounter(const QString& script, int times)
{
    auto* counter = new QProcess;
    counter->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    counter->start(QStringLiteral(SOAK_COUNTER), {script, QString::number(times), u"0"_s});
    if (!counter->waitForReadyRead(30000))
        qFatal("a counter did not start");
    counter->readLine(); // "ready"
    return counter;
}

// "counted N locked L failed F"
int failuresOf(QProcess& counter, int& counted)
{
    counter.waitForFinished(-1);
    const QStringList words = QString::fromUtf8(counter.readAllStandardOutput()).split(u' ');
    counted += words.value(1).toInt();
    return words.value(3).toInt() + words.value(5).toInt();
}

Outcome run(const QString& script)
{
    if (!ScriptLocation::isServer(script))
        QDir().mkpath(script);
    SoakScript::write(script);
    Outcome outcome;
    RecordModel model(ScriptTable::open(script, TableLayout::special()));
    model.setConflictResolver([&](const QString& question) {
        ++outcome.conflicts;
        outcome.messages << question;
        return RecordModel::Choice::KeepMine;
    });
    QObject::connect(&model, &RecordModel::failed, [&](const QString& message) {
        ++outcome.failures;
        outcome.messages << message;
    });

    std::vector<std::unique_ptr<QProcess>> counters;
    counters.reserve(kiosks);
    for (int k = 0; k < kiosks; ++k)
        counters.emplace_back(startCounter(script, countsEach));
    QElapsedTimer clock;
    clock.start();
    SoakScript::Edits typed;
    for (int i = 0; i < edits; ++i)
        typed.make(model, i);
    outcome.longestSaveMs = typed.longestSaveMs();
    outcome.savesPerSecond = edits * 1000.0 / double(std::max<qint64>(1, clock.elapsed()));
    int counted = 0;
    for (auto& counter : counters)
        outcome.failures += failuresOf(*counter, counted);
    outcome.countsPerSecond = counted * 1000.0 / double(std::max<qint64>(1, clock.elapsed()));

    // One more count from elsewhere, from its commit until the editor shows it.
    const int yes = int(TableLayout::special().columns.indexOf(TableLayout::countColumn()));
    QCoreApplication::processEvents();
    const qint64 before = model.index(0, yes).data().toLongLong();
    std::unique_ptr<QProcess> last(startCounter(script, 1));
    int lastCounted = 0;
    outcome.failures += failuresOf(*last, lastCounted);
    QElapsedTimer shown;
    shown.start();
    while (model.index(0, yes).data().toLongLong() == before && shown.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QThread::usleep(200);
    }
    if (model.index(0, yes).data().toLongLong() != before)
        outcome.shownAfterMs = shown.elapsed();

    const auto [lost, total] = typed.lostAndCounted(script);
    outcome.countsLost = kiosks * countsEach + 1 - total;
    outcome.editsLost = lost;
    if (model.hasUnsavedEdits())
        ++outcome.editsLost;
    return outcome;
}
} // namespace

// bench_kiosks FOLDER [SERVER-ADDRESS]: each an empty place for a script.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_kiosks FOLDER [SERVER-ADDRESS]\n");
        return 2;
    }
    QList<std::pair<QString, Outcome>> stores;
    try {
        stores.emplace_back(u"folder"_s, run(QString::fromLocal8Bit(argv[1])));
        if (argc > 2)
            stores.emplace_back(u"server"_s, run(QString::fromLocal8Bit(argv[2])));
    } catch (const ScriptError& error) {
        std::fprintf(stderr, "bench_kiosks: %s\n", qUtf8Printable(error.message()));
        return 1;
    }

    std::printf("%d kiosks counting %d Yes each on %d special cases, as fast as they can, while "
                "the editor saves %d edits to the same rows:\n\n",
                kiosks, countsEach, rows, edits);
    std::printf("| script | counts a second | edits saved a second | longest save | a count "
                "shown in the editor after | counts lost | edits lost | spurious conflicts | "
                "refused |\n|---|---|---|---|---|---|---|---|---|\n");
    bool clean = true;
    for (const auto& [name, o] : stores) {
        std::printf("| %s | %.0f | %.0f | %lld ms | %lld ms | %lld | %d | %d | %d |\n",
                    qPrintable(name), o.countsPerSecond, o.savesPerSecond, o.longestSaveMs,
                    o.shownAfterMs, o.countsLost, o.editsLost, o.conflicts, o.failures);
        for (const QString& message : o.messages)
            std::printf("message (%s): %s\n", qPrintable(name), qUtf8Printable(message));
        clean = clean && o.countsLost == 0 && o.editsLost == 0 && o.conflicts == 0 &&
                o.failures == 0 && o.shownAfterMs >= 0;
    }
    return clean ? 0 : 1;
}
