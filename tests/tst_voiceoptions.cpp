// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/VoiceOptions.h"

#include <QCommandLineParser>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
QList<VoiceInfo> offered()
{
    return {{u"slt"_s, u"English (America), female"_s, u"flite"_s, {u"Latin"_s}, true},
            {u"sr"_s, u"Serbian"_s, u"eSpeak NG"_s, {u"Cyrillic"_s, u"Latin"_s}, false},
            {u"system"_s, u"the desktop's own voice"_s, u"speech-dispatcher"_s, {}, false}};
}
} // namespace

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
            << QStringList{u"--voice=SR"_s, u"--rate"_s, u"0.5"_s, u"--volume=0"_s} << QString()
            << u"sr"_s << 0.5 << 0.0;
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
        QTest::newRow("the desktop's service")
            << QStringList{u"--voice=System"_s} << QString() << u"system"_s << 1.0 << 1.0;
        QTest::newRow("no such voice")
            << QStringList{u"--voice=nobody"_s}
            << u"there is no voice called \"nobody\". The voices are:\n%1"_s.arg(
                   VoiceOptions::listing(offered()).trimmed())
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
            return offered();
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

    void theListingGivesEachVoiceALineAndMarksTheDefault()
    {
        QCOMPARE(
            VoiceOptions::listing(offered()),
            u"slt     English (America), female  flite              Latin            (default)\n"
            u"sr      Serbian                    eSpeak NG          Cyrillic, Latin\n"
            u"system  the desktop's own voice    speech-dispatcher  as set there\n"_s);
    }
};

QTEST_GUILESS_MAIN(TestVoiceOptions)
#include "tst_voiceoptions.moc"
