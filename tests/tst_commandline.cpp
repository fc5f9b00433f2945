// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

// What the programs answer on their command line, as a person typing it on a machine
// without a display (a server, a terminal over ssh) sees it.
class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answeredWithoutAWindowSystem_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // how a line of it begins, blanks collapsed
        const QString runner = QStringLiteral(VEYRATH_RUNNER);
        const QString editor = QStringLiteral(VEYRATH_EDITOR);
        QTest::newRow("version") << runner << QStringList{u"--version"_s} << u"C"_s << 0
                                 << u"veyrath 4."_s;
        QTest::newRow("help") << runner << QStringList{u"--help"_s} << u"C"_s << 0
                              << u"--list-voices Print the voices"_s;
        QTest::newRow("editor's version")
            << editor << QStringList{u"--version"_s} << u"C"_s << 0 << u"veyrath-editor 4."_s;
        QTest::newRow("editor's help") << editor << QStringList{u"--help"_s} << u"C"_s << 0
                                       << u"--voice <name> Speak with the voice"_s;
        QTest::newRow("voices, no language set")
            << runner << QStringList{u"--list-voices"_s} << u"C"_s << 0
            << u"slt English (America), female flite Latin (default)"_s;
        QTest::newRow("voices, German desktop")
            << runner << QStringList{u"--list-voices"_s} << u"de_DE.UTF-8"_s << 0
            << u"de German eSpeak NG Latin (default)"_s;
        QTest::newRow("voices of every writing system")
            << editor << QStringList{u"--list-voices"_s} << u"C"_s << 0
            << u"ru Russian eSpeak NG Cyrillic"_s;
        QTest::newRow("a voice that is not there")
            << runner << QStringList{u"--voice=nobody"_s} << u"C"_s << 2
            << u"veyrath: there is no voice called \"nobody\". The voices are:"_s;
    }
    void answeredWithoutAWindowSystem()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, lang);
        QFETCH(int, status);
        QFETCH(QString, output);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const auto* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(u"LANG"_s, lang);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(60000));
        const QString said =
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QStringList lines = said.split(u'\n');
        QVERIFY2(
            std::any_of(lines.cbegin(), lines.cend(),
                        [&](const QString& line) { return line.simplified().startsWith(output); }),
            qPrintable(said));
        QCOMPARE(process.exitCode(), status);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
