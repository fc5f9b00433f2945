// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/VoiceOptions.h"

#include <QCommandLineParser>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// A wrong value on the command line is refused before the window opens, saying what is
// wrong; what is right reaches the voice.
class TestVoiceOptions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void optionsChooseTheVoiceOrAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("refusal"); // a part of it; empty when accepted
        QTest::addColumn<QString>("voice");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("volume");
        QTest::newRow("nothing") << QStringList{} << QString() << QString() << 1.0 << 1.0;
        QTest::newRow("all three")
            << QStringList{u"--voice=RMS"_s, u"--rate"_s, u"0.5"_s, u"--volume=0"_s} << QString()
            << u"rms"_s << 0.5 << 0.0;
        QTest::newRow("the ends") << QStringList{u"--rate=4"_s, u"--volume=1"_s} << QString()
                                  << QString() << 4.0 << 1.0;
        for (const auto rate : {"0"_L1, "-1"_L1, "4.5"_L1, "fast"_L1, "nan"_L1, "inf"_L1, ""_L1})
            QTest::addRow("rate %s", rate.data())
                << QStringList{u"--rate=%1"_s.arg(rate)}
                << u"--rate takes a factor from 0.25 to 4"_s << QString() << 1.0 << 1.0;
        for (const auto volume : {"-0.1"_L1, "1.5"_L1, "loud"_L1, "nan"_L1})
            QTest::addRow("volume %s", volume.data())
                << QStringList{u"--volume=%1"_s.arg(volume)}
                << u"--volume takes a level from 0 (silent) to 1 (full), not \"%1\""_s.arg(volume)
                << QString() << 1.0 << 1.0;
        QTest::newRow("no such voice")
            << QStringList{u"--voice=nobody"_s}
            << u"there is no voice called \"nobody\". The voices are:\nslt  a woman\nrms  a man"_s
            << QString() << 1.0 << 1.0;
    }
    void optionsChooseTheVoiceOrAreRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, refusal);
        QCommandLineParser parser;
        const VoiceOptions options(parser);
        QVERIFY(parser.parse(QStringList{u"veyrath"_s} + arguments));
        int asked = 0;
        const auto choice = options.choice([&] {
            ++asked;
            return QList<VoiceInfo>{{u"slt"_s, u"a woman"_s}, {u"rms"_s, u"a man"_s}};
        });
        QVERIFY2(refusal.isEmpty() ? choice.error.isEmpty() : choice.error.contains(refusal),
                 qPrintable(choice.error));
        if (!refusal.isEmpty())
            return;
        QFETCH(QString, voice);
        QFETCH(double, rate);
        QFETCH(double, volume);
        QCOMPARE(choice.settings.voice, voice);
        QCOMPARE(choice.settings.rate, rate);
        QCOMPARE(choice.settings.volume, volume);
        QCOMPARE(asked, voice.isEmpty() ? 0 : 1); // the engine is not started for nothing
    }
};

QTEST_GUILESS_MAIN(TestVoiceOptions)
#include "tst_voiceoptions.moc"
