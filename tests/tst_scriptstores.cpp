// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What the programs do with a script, the same whether the script is four files in a folder or
// four tables on a server: every case runs once for each. (Whole conversations on both stores
// are among the scenarios of tst_introduction and tst_specialstep, the editor's among those of
// its own tests.)
#include "tests/support/ScriptFixture.h"
#include "tests/support/ToolRun.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
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

    // veyrath-script in the same words and with the same exit status on either store; only
    // the names differ, a file's or a server's table's.
    void theToolMakesChecksAndCarriesAScript_data() { ScriptFixture::addStores(); }
    void theToolMakesChecksAndCarriesAScript()
    {
        QFETCH(Store, store);
        SKIP_WITHOUT_SERVER(store);
        const ScriptFixture fx(store); // nothing in it yet
        const QString script = fx.dir();
        const bool onServer = store == Store::Server;
        QTemporaryDir tmp;
        const QString csv = tmp.filePath(u"csv"_s);

        ToolRun run = ToolRun::tool({u"sample"_s, script});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.err, u"Created %1 in %2.\n"_s.arg(
                              onServer ? u"the tables basic, control, double and special"_s
                                       : u"basic.mdb, control.mdb, double.mdb and special.mdb"_s,
                              script));
        run = ToolRun::tool({u"sample"_s, script});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(u"already exist in %1"_s.arg(script)), qPrintable(run.err));
        QCOMPARE(ToolRun::tool({u"export"_s, csv, u"--script"_s, script}).code, 0);

        // An import that fails on its last line writes nothing, however much came before.
        const QVariant greeting = fx.column(TableLayout::basic(), u"String"_s).constFirst();
        const QString basicCsv = QDir(csv).filePath(u"basic.csv"_s);
        const QString specialCsv = QDir(csv).filePath(u"special.csv"_s);
        const QByteArray special = bytesOf(specialCsv);
        writeFile(basicCsv, bytesOf(basicCsv).replace(greeting.toString().toUtf8(), "Changed."));
        writeFile(specialCsv, special + "\"d\",\"q\",\"some\",\"a\",\"b\",\"c\",\"d\"\r\n");
        run = ToolRun::tool({u"import"_s, u"--force"_s, csv, script});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(u"special.csv, line 10, field \"Yes\": \"some\" is not a "
                                  u"whole number"_s),
                 qPrintable(run.err));
        QCOMPARE(fx.column(TableLayout::basic(), u"String"_s).constFirst(), greeting);

        // Replacing the special cases alone says what counts they held.
        writeFile(specialCsv, special);
        fx.execute(TableLayout::special(), u"UPDATE Table1 SET \"Yes\" = 2"_s);
        const qsizetype cases = fx.column(TableLayout::special(), u"Yes"_s).size();
        qputenv("VEYRATH_SCRIPT", script.toUtf8());
        run = ToolRun::tool({u"import"_s, u"--only"_s, u"special"_s, u"--force"_s, csv});
        qunsetenv("VEYRATH_SCRIPT");
        QCOMPARE(run.code, 0);
        QVERIFY2(
            run.err.contains(u"held %1 counted Yes replies; the new one holds 0"_s.arg(2 * cases)),
            qPrintable(run.err));
        QCOMPARE(fx.column(TableLayout::basic(), u"String"_s).constFirst(), greeting);

        fx.execute(TableLayout::basic(), u"UPDATE Table1 SET \"String\" = NULL WHERE \"ID\" = 5"_s);
        run = ToolRun::tool({u"check"_s, script});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.out.startsWith(
                     u"%1:5:String: error: the field is null"_s.arg(fx.name(TableLayout::basic()))),
                 qPrintable(run.out));
        QVERIFY2(run.out.endsWith(u"1 error and 0 warnings in %1.\n"_s.arg(script)),
                 qPrintable(run.out));
    }
};

QTEST_GUILESS_MAIN(TestScriptStores)
#include "tst_scriptstores.moc"
