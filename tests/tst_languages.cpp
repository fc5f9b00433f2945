// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/SpokenLines.h"
#include "voice/LinePlan.h"
#include "voice/VoiceCatalog.h"

#include <QTest>
#include <cmath>
#include <numeric>

using namespace Qt::Literals::StringLiterals;

namespace {
// How alike two loudness curves are, from -1 to 1, over the length of the shorter.
double similarity(QList<double> a, QList<double> b)
{
    const qsizetype n = qMin(a.size(), b.size());
    a.resize(n);
    b.resize(n);
    const auto mean = [n](const QList<double>& x) {
        return std::accumulate(x.cbegin(), x.cend(), 0.0) / double(n);
    };
    const double ma = mean(a);
    const double mb = mean(b);
    double ab = 0, aa = 0, bb = 0;
    for (qsizetype i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return ab / std::sqrt(aa * bb);
}
} // namespace

// A script is said in the language its author wrote it in, whatever the writing system;
// nothing that holds a letter or a digit goes unsaid without a word. Made in memory, without
// a sound device.
class TestLanguages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyWritingSystemIsHeard_data()
    {
        QTest::addColumn<QString>("voice"); // the one chosen; the others come by themselves
        QTest::addColumn<QString>("line");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        const QString english = u"slt"_s;
        QTest::newRow("Latin with accents")
            << u"de"_s << u"Grüß Gott, schöne Grüße aus München."_s << 1.2 << 3.2;
        QTest::newRow("Cyrillic") << english << u"Добро пожаловать в музей."_s << 0.7 << 2.0;
        QTest::newRow("Greek") << english << u"Καλώς ήρθατε στο μουσείο."_s << 0.8 << 2.2;
        QTest::newRow("Arabic") << english << u"مرحبا بكم في المتحف."_s << 1.2 << 3.2;
        QTest::newRow("Hebrew") << english << u"ברוכים הבאים למוזיאון."_s << 1.0 << 2.7;
        QTest::newRow("Devanagari") << english << u"संग्रहालय में आपका स्वागत है।"_s << 1.2 << 3.1;
        QTest::newRow("Han") << english << u"欢迎来到博物馆。"_s << 1.7 << 4.5;
        QTest::newRow("Kana") << english << u"こんにちは、ようこそ。"_s << 0.9 << 2.4;
        QTest::newRow("Hangul") << english << u"박물관에 오신 것을 환영합니다."_s << 1.6 << 4.1;
        QTest::newRow("Thai") << english << u"ยินดีต้อนรับสู่พิพิธภัณฑ์"_s << 1.5 << 4.1;
        QTest::newRow("Georgian") << english << u"კეთილი იყოს თქვენი მობრძანება."_s << 1.2 << 3.3;
        QTest::newRow("Armenian") << english << u"Բարի գալուստ թանգարան։"_s << 0.8 << 2.3;
    }
    void everyWritingSystemIsHeard()
    {
        QFETCH(QString, voice);
        QFETCH(QString, line);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const SpokenLines spoken({line}, {voice});
        const SpokenLines::Line& made = spoken.lines.constFirst();
        QCOMPARE(spoken.complaints, QStringList());
        QCOMPARE(made.failure, QString());
        QVERIFY2(made.seconds() >= shortest && made.seconds() <= longest,
                 qPrintable(u"%1 s"_s.arg(made.seconds())));
        // Speech, not a click or a hum: loud for most of its length.
        QVERIFY2(
            made.voicedSeconds() > 0.7 * made.seconds(),
            qPrintable(u"%1 s of %2 s voiced"_s.arg(made.voicedSeconds()).arg(made.seconds())));
    }

    // Digits and marks go with the run they stand in; runs follow the line's order.
    void aMixedLineGoesToEachVoiceInOrder_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("runs"); // voice: text
        QTest::newRow("Cyrillic, then English")
            << u"slt"_s << u"Москва is large"_s << QStringList{u"ru: Москва"_s, u"slt: is large"_s};
        QTest::newRow("digits and marks")
            << u"slt"_s << u"1. Москва 2024, is large!"_s
            << QStringList{u"ru: 1. Москва 2024,"_s, u"slt: is large!"_s};
        QTest::newRow("Han in a Japanese line")
            << u"slt"_s << u"東京へようこそ"_s << QStringList{u"cmn: 東京"_s, u"ja: へようこそ"_s};
        QTest::newRow("German voice, English words")
            << u"de"_s << u"Willkommen, welcome, Добро"_s
            << QStringList{u"de: Willkommen, welcome,"_s, u"ru: Добро"_s};
        QTest::newRow("Russian voice, a name")
            << u"ru"_s << u"Привет, John!"_s << QStringList{u"ru: Привет,"_s, u"slt: John!"_s};
        QTest::newRow("marks alone") << u"de"_s << u"?!"_s << QStringList{u"slt: ?!"_s};
    }
    void aMixedLineGoesToEachVoiceInOrder()
    {
        QFETCH(QString, voice);
        QFETCH(QString, line);
        QFETCH(QStringList, runs);
        const VoiceCatalog catalog(QLocale::c());
        QStringList planned;
        for (const LinePlan::Run& run : LinePlan(catalog, voice).plan(line).runs)
            planned << run.voice + u": "_s + run.text;
        QCOMPARE(planned, runs);
    }

    void aMixedLineIsOneStreamWithoutLongGaps()
    {
        const SpokenLines spoken({u"Москва"_s, u"is large"_s, u"Москва is large"_s});
        const SpokenLines::Line& russian = spoken.lines.at(0);
        const SpokenLines::Line& english = spoken.lines.at(1);
        const SpokenLines::Line& mixed = spoken.lines.at(2);
        // Russian first, English last: the line opens with the sound of the Russian word alone
        // and closes with that of the English words alone.
        const QList<double> whole = mixed.envelope();
        const QList<double> opening = whole.first(russian.envelope().size());
        const QList<double> closing = whole.last(english.envelope().size());
        QVERIFY(similarity(opening, russian.envelope()) > 0.95);
        QVERIFY(similarity(opening, english.envelope()) < 0.8);
        QVERIFY(similarity(closing, english.envelope()) > 0.95);
        QVERIFY2(qAbs(mixed.voicedSeconds() - russian.voicedSeconds() - english.voicedSeconds()) <
                     0.1,
                 qPrintable(u"%1 s voiced"_s.arg(mixed.voicedSeconds())));
        QVERIFY2(mixed.longestGap() <= english.longestGap() + 0.2,
                 qPrintable(u"a gap of %1 s"_s.arg(mixed.longestGap())));
    }

    void lettersNoVoiceReadsAreToldOnceAndTheRestIsSaid()
    {
        const SpokenLines spoken({u"བོད་ཡིག Tibet 12"_s, u"ཡིག"_s, u"Hello"_s});
        QCOMPARE(spoken.complaints.size(), 1);
        QVERIFY2(spoken.complaints.constFirst().contains(u"Tibetan"_s) &&
                     spoken.complaints.constFirst().contains(u"བོད་ཡིག"_s),
                 qPrintable(spoken.complaints.constFirst()));
        QVERIFY(spoken.lines.at(0).voicedSeconds() > 0.5); // "Tibet twelve"
        QCOMPARE(spoken.lines.at(1).failure, QString());   // nothing to say is no failure
        QVERIFY(spoken.lines.at(2).voicedSeconds() > 0.2);
    }

    void theDefaultVoiceFollowsTheDesktopsLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("note"); // a part of it
        QTest::newRow("no language set") << u"C"_s << u"slt"_s << QString();
        QTest::newRow("British English") << u"en_GB"_s << u"slt"_s << QString();
        QTest::newRow("German") << u"de_DE"_s << u"de"_s << QString();
        QTest::newRow("Brazilian Portuguese") << u"pt_BR"_s << u"pt-br"_s << QString();
        QTest::newRow("Japanese") << u"ja_JP"_s << u"ja"_s << QString();
        QTest::newRow("a language without a voice")
            << u"yo_NG"_s << u"slt"_s << u"no voice is installed for Yoruba"_s;
    }
    void theDefaultVoiceFollowsTheDesktopsLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, voice);
        QFETCH(QString, note);
        const VoiceCatalog catalog{QLocale(locale)};
        QCOMPARE(catalog.defaultVoice(), voice);
        QVERIFY2(note.isEmpty() ? catalog.defaultNote().isEmpty()
                                : catalog.defaultNote().contains(note),
                 qPrintable(catalog.defaultNote()));
    }
};

QTEST_GUILESS_MAIN(TestLanguages)
#include "tst_languages.moc"
