// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// A script held by a PostgreSQL server: its address, its layout, the narrow rights a kiosk
// needs, and a server that goes away for a while.
#include "script/ScriptError.h"
#include "script/ScriptLocation.h"
#include "script/ScriptTable.h"
#include "script/SpecialCases.h"
#include "tests/support/Session.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Store = ScriptFixture::Store;

namespace {
const QString secret = u"s3cr3t-Pw"_s;

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
    QString location() const
    {
        return u"postgresql:///postgres?host=%1&user=postgres"_s.arg(m_dir);
    }

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

    void runnerRefusesAMalformedAddressWithoutShowingThePassword()
    {
        QProcess runner;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        runner.setProcessEnvironment(environment);
        runner.start(QStringLiteral(VEYRATH_RUNNER),
                     {u"--script"_s, u"postgresql://kiosk:%1@host:0/museum"_s.arg(secret)});
        QVERIFY(runner.waitForFinished(60000));
        QCOMPARE(runner.exitCode(), 2);
        const QString said = QString::fromUtf8(runner.readAllStandardError());
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
        Session s(Store::Server);
        s.fx.createFullScript();
        // The rights the README gives a kiosk, and no more.
        const QString kiosk = s.fx.schema() + u"_kiosk"_s;
        const QString schema = u"\"%1\""_s.arg(s.fx.schema());
        s.fx.serverExecute(
            u"CREATE ROLE \"%1\" LOGIN; GRANT USAGE ON SCHEMA %2 TO \"%1\"; GRANT SELECT ON "
            u"%2.basic, %2.control, %2.double, %2.special TO \"%1\"; GRANT UPDATE (\"Yes\") ON "
            u"%2.special TO \"%1\""_s.arg(kiosk, schema));
        const QString asKiosk = s.fx.locationAs(kiosk);

        Conversation c(s.stage, s.stage, s.stage, s.stage, asKiosk);
        s.stage.attach(c);
        c.Form_Load();
        c.LoadData();
        c.state().NextStep = Step::Special;
        c.MNU_LOW_Click();
        s.stage.replies({Reply::Yes, u"fine"_s, Reply::Ok, Reply::No, Reply::Yes});
        c.Special();
        QCOMPARE(s.stage.lastDetails, QStringList());
        QCOMPARE(s.fx.column(TableLayout::special(), u"Yes"_s).constFirst(), QVariant(1));

        // ...and a kiosk cannot change the script itself.
        const auto basic = ScriptTable::open(asKiosk, TableLayout::basic());
        QVERIFY_THROWS_EXCEPTION(
            ScriptError, basic->exec(u"UPDATE %1 SET \"String\" = ''"_s.arg(basic->sqlName())));
    }

    void serverStoppedBetweenCountsIsToldOnceAndCountingResumes()
    {
        SKIP_WITHOUT_SERVER(Store::Server);
        PrivateServer server;
        const QString location = server.location() + u"&schema=veyrath"_s;
        ScriptTable::create(location, TableLayout::special())
            ->insertRow(ScriptFixture::numberedRow(TableLayout::special(), 1));

        FakeStage stage;
        Conversation c(stage, stage, stage, stage, location);
        stage.attach(c);
        c.Form_Load();
        c.MNU_LOW_Click();
        const auto special = [&] {
            c.state().NextStep = Step::Special;
            c.Special();
        };
        const QList<FakeStage::Said> confirmAndGoOn{Reply::Yes, u"fine"_s, Reply::Ok, Reply::No,
                                                    Reply::Yes};
        stage.replies(confirmAndGoOn);
        special();

        server.halt();
        special();
        special();
        QCOMPARE(stage.lastDetails.size(), 1);
        QVERIFY2(stage.lastDetails.first().startsWith(u"special: "_s),
                 qPrintable(stage.lastDetails.first()));
        QCOMPARE(c.state().NextStep, Step::NextLine); // the conversation goes on

        server.restart();
        stage.replies(confirmAndGoOn);
        special();
        QCOMPARE(stage.lastDetails.size(), 1);
        const auto counted = [&] {
            const auto table = ScriptTable::open(location, TableLayout::special());
            QSqlQuery count = table->exec(u"SELECT \"Yes\" FROM %1"_s.arg(table->sqlName()));
            return count.next() ? count.value(0).toLongLong() : -1;
        };
        QCOMPARE(counted(), 2);

        // A count that fails while the server is down may pass later, and does.
        SpecialCases cases(ScriptTable::open(location, TableLayout::special()));
        server.halt();
        try {
            cases.countConfirmation();
            QFAIL("counted while the server was down");
        } catch (const ScriptError& error) {
            QVERIFY2(error.mayPass() && error.message().contains(u"the Yes was not counted"_s),
                     qPrintable(error.message()));
        }
        server.restart();
        cases.countConfirmation();
        QCOMPARE(counted(), 3);
    }
};

QTEST_GUILESS_MAIN(TestServerScript)
#include "tst_serverscript.moc"
