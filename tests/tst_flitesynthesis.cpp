// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/SpokenLines.h"
#include "voice/FliteSynthesizer.h"
#include "voice/SpeakableText.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// A 255-character sentence with no mark to cut it at but the full stop at its end.
const QString longSentence =
    u"This is a long sentence that a script author wrote without a single comma in it so that "
    u"the voice has to read every word of it from the first to the last before the person at "
    u"the screen can answer the question that follows it in the box just below it now."_s;

SpokenLines::Line make(const QString& line, const VoiceSettings& settings = {})
{
    return SpokenLines({line}, settings).lines.constFirst();
}
} // namespace

// Without a sound device: everything here is made in memory.
class TestFliteSynthesis : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(longSentence.size(), 255); }

    void everyKindOfLineIsHeard_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("line");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        for (const VoiceInfo& voice : FliteSynthesizer::voices()) {
            const auto row = [&](const char* kind) -> QTestData& {
                return QTest::addRow("%s, %s", qPrintable(voice.name), kind) << voice.name;
            };
            row("digits") << u"12345"_s << 1.5 << 6.0;
            row("ten digits") << u"1234567890"_s << 3.0 << 14.0;
            row("255 characters") << longSentence << 8.0 << 30.0;
            row("punctuation") << u"?!..."_s << 1.5 << 8.0;
            row("a row of dashes") << u"----------"_s << 0.8 << 4.0;
            row("emoji") << u"🙂🙂"_s << 0.5 << 1.8;
            row("non-ASCII") << u"Grüße, Zoë! Ça va? Smørrebrød – naïve café."_s << 2.0 << 10.0;
        }
    }
    void everyKindOfLineIsHeard()
    {
        QFETCH(QString, voice);
        QFETCH(QString, line);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const SpokenLines::Line made = make(line, {voice});
        QCOMPARE(made.failure, QString());
        QVERIFY2(made.rms() > 300, qPrintable(u"RMS %1"_s.arg(made.rms())));
        QVERIFY2(made.seconds() >= shortest && made.seconds() <= longest,
                 qPrintable(u"%1 s"_s.arg(made.seconds())));
    }

    void theRateSlowsEveryVoiceDown_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("line");
        QTest::newRow("libflite") << u"slt"_s << longSentence;
        QTest::newRow("eSpeak NG")
            << u"de"_s << u"Ein langer Satz, den eine Autorin ohne Eile geschrieben hat."_s;
        QTest::newRow("another writing system") << u"slt"_s << u"Добро пожаловать в музей."_s;
    }
    void theRateSlowsEveryVoiceDown()
    {
        QFETCH(QString, voice);
        QFETCH(QString, line);
        const double normal = make(line, {voice}).seconds();
        const double slow = make(line, {voice, 0.5}).seconds();
        QVERIFY2(slow > 1.6 * normal, qPrintable(u"%1 s against %2 s"_s.arg(slow).arg(normal)));
    }

    // The first sound waits for the first piece only; no piece may lose a word.
    void linesAreCutIntoPiecesWithoutLosingAnything_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("one long sentence") << longSentence;
        QTest::newRow("sentences") << u"Hello there! Are you well? \"Yes.\" Good. Then go on."_s;
        QTest::newRow("clauses") << u"First, the name; then the date: and last of all, the age, "
                                    u"which the program works out on its own from the date."_s;
        QTest::newRow("one endless word") << QString(300, u'7');
    }
    void linesAreCutIntoPiecesWithoutLosingAnything()
    {
        QFETCH(QString, text);
        const QStringList pieces = SpeakableText::pieces(text, 60, 200);
        QVERIFY(pieces.first().size() <= 60);
        for (const QString& piece : pieces)
            QVERIFY2(!piece.isEmpty() && piece.size() <= 200, qPrintable(piece));
        QCOMPARE(pieces.join(QString()).remove(u' '), QString(text).remove(u' '));
    }
};

QTEST_GUILESS_MAIN(TestFliteSynthesis)
#include "tst_flitesynthesis.moc"
