// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// A script held by a PostgreSQL server: its address, its layout, the narrow rights a kiosk
// needs, and a server that goes away for a while.
#include "editor/model/RecordModel.h"
#include "script/ScriptError.h"
#include "script/ScriptLocation.h"
#include "script/ScriptTable.h"
#include "tests/support/Rehearsal.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <optional>

using namespace Qt::Literals::StringLiterals;
using Store = ScriptFixture::Store;

namespace {
const QString secret = u"s3cr3t-Pw"_s;

// The standard script up to the third Yes to going on, which leads to the first special case.
Beats toCase1()
{
    return beats(toTwoYes(), "ask: first 41 blue second 41", Reply::Yes, "ask: case 1?");
}

// The special case's one prompt at Low answered, and No, then Yes to going on.
const Beats caseAnswered =
    beats("input: case 1 prompt 1 | > fine | show: control 1 (1 s)", "box: first 1 fine second 1",
          Reply::Ok, "ask: first 41 fine second 41", Reply::No, "ask: control 81", Reply::Yes);

// From the next question to the third Yes to going on, which leads to a special case again.
Beats toCaseAgain()
{
    const char* goOn = "ask: first 41 x second 41";
    return beats("input: control 61 | > x | show: control 1 (1 s) | box: first 21 x second 21",
                 Reply::Ok, goOn, Reply::Yes, "show: control 1 (1 s) | box: first 1 x second 1",
                 Reply::Ok, goOn, Reply::Yes, "show: control 21 (1 s) | box: first 21 x second 21",
                 Reply::Ok, goOn);
}

QString openFailure(const QString& location, const TableLayout& layout, bool* mayPass = nullptr)
{
    try {
        ScriptTable::open(location, layout);
    } catch (const ScriptError& error) {
        if (mayPass)
            *mayPass = error.mayPass();
        return error.message();
    }
    return {};
}

// A server of the test's own, for stopping and starting it without disturbing other tests.
class PrivateServer {
public:
    PrivateServer() { run(u"start"_s); }
    ~PrivateServer() { run(u"stop"_s); }
    void halt() { run(u"halt"_s); }
    void restart() { run(u"restart"_s); }
    const QString& socket() const { return m_dir; }

private:
    void run(const QString& command)
    {
        QProcess script;
        script.setProcessChannelMode(QProcess::ForwardedChannels);
        script.start(qEnvironmentVariable("VEYRATH_TEST_SERVER_SCRIPT"), {command, m_dir});
        if (!script.waitForFinished(120000) || script.exitCode() != 0)
            qFatal("test-server %s failed", qPrintable(command));
    }
    QString m_dir = u"/tmp/veyrath-private-%1"_s.arg(QCoreApplication::applicationPid());
};
} // namespace

class TestServerScript : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // First, before anything loads the driver.
    void missingDriverNamesThePackageThatBringsIt()
    {
        SKIP_WITHOUT_SERVER(Store::Server);
        const ScriptFixture fx(Store::Server);
        const QStringList paths = QCoreApplication::libraryPaths();
        QCoreApplication::setLibraryPaths({});
        const QString message = openFailure(fx.dir(), TableLayout::basic());
        QCoreApplication::setLibraryPaths(paths);
        QVERIFY2(message.startsWith(u"basic: Qt's PostgreSQL driver is not installed"_s) &&
                     message.contains(u"libqt6sql6-psql"_s),
                 qPrintable(message));
    }

    void malformedAddressesNameTheWrongPart_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("reason");
        const QString user = u"kiosk:"_s + secret + u'@';
        QTest::newRow("scheme") << u"mysql://%1host/museum"_s.arg(user)
                                << u"\"mysql://\" is no kind of script location"_s;
        QTest::newRow("port") << u"postgresql://%1host:54x2/museum"_s.arg(user)
                              << u"the port \"54x2\" is not a number from 1 to 65535"_s;
        QTest::newRow("bare parameter") << u"postgresql://%1host/museum?sslmode"_s.arg(user)
                                        << u"the parameter \"sslmode\" has no value"_s;
        QTest::newRow("unknown parameter")
            << u"postgresql://host/museum?password=%1&colour=red"_s.arg(secret)
            << u"invalid URI query parameter: \"colour\""_s;
        QTest::newRow("empty schema")
            << u"postgresql://%1host/museum?schema="_s.arg(user) << u"the schema is empty"_s;
        QTest::newRow("bad escape")
            << u"postgresql://%1host/mu%zzseum"_s.arg(user) << u"invalid percent-encoded token"_s;
    }
    void malformedAddressesNameTheWrongPart()
    {
        QFETCH(QString, location);
        QFETCH(QString, reason);
        QString message;
        try {
            ScriptLocation::parse(location);
        } catch (const ScriptError& error) {
            message = error.message();
        }
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(!message.contains(secret), qPrintable(message));
        QVERIFY2(message.contains(u"***"_s), qPrintable(message));
    }

    void programsRefuseAMalformedAddressWithoutShowingThePassword_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("variable"); // the address given in VEYRATH_SCRIPT, or not
        for (const char* variable : {"", "VEYRATH_SCRIPT"}) {
            QTest::addRow("runner %s", variable) << QStringLiteral(VEYRATH_RUNNER) << variable;
            QTest::addRow("editor %s", variable) << QStringLiteral(VEYRATH_EDITOR) << variable;
        }
    }
    void programsRefuseAMalformedAddressWithoutShowingThePassword()
    {
        QFETCH(QString, program);
        QFETCH(QString, variable);
        const QString address = u"postgresql://kiosk:%1@host:0/museum"_s.arg(secret);
        QProcess started;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        if (!variable.isEmpty())
            environment.insert(variable, address);
        started.setProcessEnvironment(environment);
        started.start(program,
                      variable.isEmpty() ? QStringList{u"--script"_s, address} : QStringList());
        QVERIFY(started.waitForFinished(60000));
        QCOMPARE(started.exitCode(), 2);
        const QString said = QString::fromUtf8(started.readAllStandardError());
        QVERIFY2(said.contains(u"the port \"0\""_s) && !said.contains(secret), qPrintable(said));
    }

    void unopenedServersAreToldLikeMissingFiles_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("mayPass");
        const QString socket = ScriptFixture::serverSocket();
        QTest::newRow("down") << u"postgresql:///postgres?host=/tmp/veyrath-no-server-here"_s
                              << u"special: the server does not answer"_s << true;
        QTest::newRow("unknown login")
            << u"postgresql://ghost:%1@/postgres?host=%2"_s.arg(secret, socket)
            << u"special: the server refused the connection"_s << false;
    }
    void unopenedServersAreToldLikeMissingFiles()
    {
        QFETCH(QString, location);
        QFETCH(QString, reason);
        QFETCH(bool, mayPass);
        SKIP_WITHOUT_SERVER(Store::Server);
        bool passing = !mayPass;
        const QString message = openFailure(location, TableLayout::special(), &passing);
        QVERIFY2(message.startsWith(reason) && !message.contains(secret), qPrintable(message));
        QCOMPARE(passing, mayPass);
    }

    void misLaidTablesGetTheLayoutWords_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("reason");
        const QString key = u"\"ID\" bigint PRIMARY KEY"_s;
        const QString questions = u"\"Enhance Process\" text, \"2nd Question (Input)\" text, "
                                  u"\"3rd Question (Input)\" text, \"4th Question (Input)\" text"_s;
        QTest::newRow("no schema") << QString() << u"the server has no schema"_s;
        QTest::newRow("no table") << u"CREATE SCHEMA S"_s
                                  << u"special: there is no table named special in the schema"_s;
        QTest::newRow("view") << u"CREATE SCHEMA S; CREATE VIEW S.special AS SELECT 1 AS \"ID\""_s
                              << u"S.special is a view, not a table"_s;
        QTest::newRow("swapped") << u"CREATE SCHEMA S; CREATE TABLE S.special (%1, "
                                    u"\"Description\" text, \"Yes\" bigint, \"Primary Question "
                                    u"(Y/N)\" text, %2)"_s.arg(key, questions)
                                 << u"S.special has the column \"Yes\" at position 2 where "
                                    u"\"Primary Question (Y/N)\" belongs"_s;
        QTest::newRow("missing") << u"CREATE SCHEMA S; CREATE TABLE S.special (%1, "
                                    u"\"Description\" text)"_s.arg(key)
                                 << u"special: S.special lacks the column \"Primary Question "
                                    u"(Y/N)\" at position 2"_s;
        QTest::newRow("count as text")
            << u"CREATE SCHEMA S; CREATE TABLE S.special (%1, \"Description\" text, \"Primary "
               u"Question (Y/N)\" text, \"Yes\" text, %2)"_s.arg(key, questions)
            << u"the column \"Yes\" of S.special is declared text"_s;
        QTest::newRow("no key") << u"CREATE SCHEMA S; CREATE TABLE S.special (\"ID\" bigint, "
                                   u"\"Description\" text, \"Primary Question (Y/N)\" text, "
                                   u"\"Yes\" bigint, %1)"_s.arg(questions)
                                << u"the column ID of S.special is not its primary key"_s;
    }
    void misLaidTablesGetTheLayoutWords()
    {
        QFETCH(QString, sql);
        QFETCH(QString, reason);
        SKIP_WITHOUT_SERVER(Store::Server);
        ScriptFixture fx(Store::Server);
        if (!sql.isEmpty())
            fx.serverExecute(QString(sql)
                                 .replace(u"S."_s, u"\"%1\"."_s.arg(fx.schema()))
                                 .replace(u"SCHEMA S"_s, u"SCHEMA \"%1\""_s.arg(fx.schema())));
        const QString message = openFailure(fx.dir(), TableLayout::special());
        QVERIFY2(message.contains(QString(reason).replace(u"S."_s, fx.schema() + u'.')),
                 qPrintable(message));
    }

    void kioskRoleRunsTheConversationAndCounts()
    {
        SKIP_WITHOUT_SERVER(Store::Server);
        Rehearsal r(Store::Server);
        // The rights the README gives a kiosk, and no more.
        const QString kiosk = r.fx.schema() + u"_kiosk"_s;
        const QString schema = u"\"%1\""_s.arg(r.fx.schema());
        r.fx.serverExecute(
            u"CREATE ROLE \"%1\" LOGIN; GRANT USAGE ON SCHEMA %2 TO \"%1\"; GRANT SELECT ON "
            u"%2.basic, %2.control, %2.double, %2.special TO \"%1\"; GRANT UPDATE (\"Yes\") ON "
            u"%2.special TO \"%1\""_s.arg(kiosk, schema));
        r.location = r.fx.locationAs(kiosk);
        r.play(beats(Persistence::Low, "marked: Low", toCase1(), Reply::Yes, caseAnswered,
                     "input: control 61 | closed", "special.mdb counts: 1 0 0 0 0 0"));
        r.check();

        // ...and a kiosk cannot change the script itself.
        const auto basic = ScriptTable::open(r.location, TableLayout::basic());
        QVERIFY_THROWS_EXCEPTION(
            ScriptError, basic->exec(u"UPDATE %1 SET \"String\" = ''"_s.arg(basic->sqlName())));
    }

    void serverStoppedBetweenCountsIsToldOnceAndCountingResumes()
    {
        SKIP_WITHOUT_SERVER(Store::Server);
        PrivateServer server;
        Rehearsal r(Store::Server, server.socket());
        const Meanwhile stops{u"the server stops"_s, [&] { server.halt(); }};
        const Meanwhile back{u"the server is back"_s, [&] { server.restart(); }};
        const QString unread = u"warning[]: A special case could not be read, so the "
                               u"conversation goes on without it for now."_s;
        const QString waited = u"pause: 0.25 (20 times)"_s;
        r.play(beats(Persistence::Low, "marked: Low", toCase1(), Reply::Yes, caseAnswered,
                     toCaseAgain(), stops, Reply::Yes, waited, unread,
                     "details: special: the server does not answer…", toCaseAgain(), Reply::Yes,
                     waited, toCaseAgain(), back, Reply::Yes, "ask: case 1?", Reply::Yes,
                     caseAnswered, "input: control 61 | closed",
                     "special.mdb counts: 2 0 0 0 0 0"));
        r.check();
    }

    void tablesThatFailedAsTheWindowLoadedAreOpenedAtStart()
    {
        SKIP_WITHOUT_SERVER(Store::Server);
        PrivateServer server;
        Rehearsal r(Store::Server, server.socket());
        server.halt();
        r.open();
        server.restart();
        QStringList told;
        for (const char* table : {"basic", "double", "control", "special"})
            told << u"warning[]: %1: the server does not answer…"_s.arg(QLatin1StringView(table));
        r.play(beats(told.join(u" | "_s), toCase1(), "closed"));
        r.check();
    }

    void theWindowWorksWhileTheServerKeepsTheRunnerWaiting()
    {
        SKIP_WITHOUT_SERVER(Store::Server);
        Rehearsal r(Store::Server);
        r.open();
        // Another program holds basic, readers too, and lets go only when the window handles
        // its next event: a runner that waited for the server without handling its events
        // would wait until its patience ran out, and fail to load.
        std::optional<FileLock> held(std::in_place, r.fx, TableLayout::basic(),
                                     FileLock::Kind::Exclusive);
        QTimer::singleShot(200, this, [&] { held.reset(); });
        r.play(beats(introduction(), "input: control 41 | closed"));
        r.check();
    }

    // The editor is told of each change another program commits to a server script, also after
    // the server restarted, and asks the server nothing while nothing changes.
    void theEditorFollowsCountsAsTheServerAnnouncesThem()
    {
        SKIP_WITHOUT_SERVER(Store::Server);
        PrivateServer server;
        ScriptFixture fx(Store::Server, server.socket());
        fx.createNumbered(TableLayout::special(), 2);
        RecordModel model(ScriptTable::open(fx.dir(), TableLayout::special()));
        const int yes = int(TableLayout::special().columns.indexOf(TableLayout::countColumn()));
        const auto counted = [&] { return model.index(1, yes).data().toInt(); };
        const auto count = [&] {
            fx.execute(TableLayout::special(),
                       u"UPDATE Table1 SET \"Yes\" = \"Yes\" + 1 WHERE \"ID\" = 2"_s);
        };
        // The editor's connection is the only one named after this program.
        const auto lastAsked = [&] {
            const QVariantList asked = fx.serverValues(
                u"SELECT query_start::text FROM pg_stat_activity WHERE application_name = '%1'"_s
                    .arg(QCoreApplication::applicationName()));
            return asked.size() == 1 ? asked.first().toString()
                                     : u"%1 connections"_s.arg(asked.size());
        };
        QCOMPARE(counted(), 0);
        QTRY_VERIFY(!lastAsked().endsWith(u"connections"_s)); // the fixture's own have gone
        const QString before = lastAsked();
        QTest::qWait(2 * int(RecordModel::pollInterval.count()) + 200);
        QCOMPARE(lastAsked(), before);

        count();
        QTRY_COMPARE(counted(), 1);
        server.halt();
        server.restart();
        count();
        QTRY_COMPARE(counted(), 2);
        count();
        QTRY_COMPARE(counted(), 3);
    }
};

QTEST_MAIN(TestServerScript)
#include "tst_serverscript.moc"
