// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What the runner does with its script, the same whether the script is four files in a folder
// or four tables on a server: every case runs once for each. (Whole conversations on both
// stores are among the scenarios of tst_introduction and tst_specialstep.)
#include "tests/support/ScriptFixture.h"

#include <QProcess>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Store = ScriptFixture::Store;

class TestScriptStores : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countsFromProcessesRacingAreAllKept_data() { ScriptFixture::addStores(); }
    void countsFromProcessesRacingAreAllKept()
    {
        QFETCH(Store, store);
        SKIP_WITHOUT_SERVER(store);
        ScriptFixture fx(store);
        fx.createNumbered(TableLayout::special(), 1);
        constexpr int each = 100;
        QList<QProcess*> counters;
        for (int i = 0; i < 3; ++i) {
            auto* counter = new QProcess(this);
            counter->start(QStringLiteral(SPECIAL_COUNTER), {fx.dir(), QString::number(each)});
            counters << counter;
        }
        for (QProcess* counter : counters) {
            QVERIFY(counter->waitForFinished(120000));
            QCOMPARE(counter->exitCode(), 0);
            delete counter;
        }
        QCOMPARE(fx.column(TableLayout::special(), u"Yes"_s), QVariantList{3 * each});
    }
};

QTEST_GUILESS_MAIN(TestScriptStores)
#include "tst_scriptstores.moc"
