// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/FliteSynthesizer.h"
#include "voice/SpeakableText.h"
#include "voice/SynthesisWorker.h"

#include <QTest>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
// A 255-character sentence with no mark to cut it at but the full stop at its end.
const QString longSentence =
    u"This is a long sentence that a script author wrote without a single comma in it so that "
    u"the voice has to read every word of it from the first to the last before the person at "
    u"the screen can answer the question that follows it in the box just below it now."_s;

// What the runner's synthesis thread makes of one line: all of its sound, or why none.
struct Made {
    QByteArray samples;
    QString failure;
    int sampleRate = 0;
    double seconds() const { return double(samples.size()) / sizeof(qint16) / sampleRate; }
    double rms() const
    {
        const auto* sample = reinterpret_cast<const qint16*>(samples.constData());
        const qsizetype count = samples.size() / qsizetype(sizeof(qint16));
        double sum = 0;
        for (qsizetype i = 0; i < count; ++i)
            sum += double(sample[i]) * sample[i];
        return count ? std::sqrt(sum / double(count)) : 0.0;
    }
};

Made make(const QString& line, VoiceSettings settings = {})
{
    Made made;
    made.sampleRate = FliteSynthesizer::sampleRate(settings.voice);
    SynthesisWorker worker(std::move(settings));
    QObject::connect(&worker, &SynthesisWorker::piece,
                     [&](quint64, const QByteArray& samples) { made.samples += samples; });
    QObject::connect(&worker, &SynthesisWorker::finished,
                     [&](quint64, const QString& failure) { made.failure = failure; });
    worker.start();
    worker.synthesize(1, line);
    return made;
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
            row("non-ASCII") << u"Grüße, Zoë! Ça va? Smørrebrød – naïve café."_s << 2.0 << 10.0;
        }
    }
    void everyKindOfLineIsHeard()
    {
        QFETCH(QString, voice);
        QFETCH(QString, line);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const Made made = make(line, {voice});
        QCOMPARE(made.failure, QString());
        QVERIFY2(made.rms() > 300, qPrintable(u"RMS %1"_s.arg(made.rms())));
        QVERIFY2(made.seconds() >= shortest && made.seconds() <= longest,
                 qPrintable(u"%1 s"_s.arg(made.seconds())));
    }

    void aLineOfLettersTheVoiceCannotReadFailsNamingIt()
    {
        const Made made = make(u"你好"_s);
        QVERIFY(made.samples.isEmpty());
        QVERIFY2(made.failure.contains(u"你好"_s), qPrintable(made.failure));
    }

    void theRateSlowsTheVoiceDown()
    {
        const double normal = make(longSentence).seconds();
        const double slow = make(longSentence, {{}, 0.5}).seconds();
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
