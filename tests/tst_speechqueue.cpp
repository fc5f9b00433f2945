// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/SpeechQueue.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// Speaks nothing; it is Speaking from say() until the test says it is done.
class FakeEngine final : public SpeechEngine {
public:
    State current = State::Ready;
    QStringList said;
    int stops = 0;
    bool failToStart = false; // as with no sound device: an error at once, never speaking

    State state() const override { return current; }
    QString errorString() const override { return u"no audio device"_s; }
    void say(const QString& text) override
    {
        said << text;
        become(failToStart ? State::Error : State::Speaking);
    }
    void stop() override
    {
        ++stops;
        become(State::Ready);
    }
    void become(State state)
    {
        current = state;
        notify(state);
    }
};

QString silent(const QString& why)
{
    return u"speech is not available (%1); going on without a voice."_s.arg(why);
}

struct Harness {
    FakeEngine* engine = nullptr;
    QStringList complaints;
    SpeechQueue queue{[this](const SpeechQueue::Complaint&) {
                          auto made = std::make_unique<FakeEngine>();
                          engine = made.get();
                          return made;
                      },
                      [this](const QString& why) { complaints << why; }};
};
} // namespace

class TestSpeechQueue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesWaitForTheOneBeingSpoken()
    {
        Harness h;
        h.queue.enqueue(u"one"_s); // before the engine exists: kept, not lost
        h.queue.createEngine();
        h.queue.enqueue(u"two"_s);
        h.queue.enqueue(u"three"_s);
        QCOMPARE(h.engine->said, QStringList{u"one"_s}); // nothing cut off
        h.engine->become(SpeechEngine::State::Ready);
        QCOMPARE(h.engine->said, (QStringList{u"one"_s, u"two"_s}));
        h.engine->become(SpeechEngine::State::Ready);
        h.engine->become(SpeechEngine::State::Ready);
        QCOMPARE(h.engine->said, (QStringList{u"one"_s, u"two"_s, u"three"_s}));
        QCOMPARE(h.engine->stops, 0);
        QVERIFY(h.complaints.isEmpty());
    }

    void blankLinesAreNotSpoken()
    {
        Harness h;
        h.queue.createEngine();
        h.queue.enqueue(QString());
        h.queue.enqueue(u"  "_s);
        h.queue.enqueue(u"hello"_s);
        QCOMPARE(h.engine->said, QStringList{u"hello"_s});
    }

    void anEngineThatNeverFinishesIsMovedOn()
    {
        Harness h;
        h.queue.setWatchdog(0, 10); // "stuck" gets 50 ms, the long line ten seconds
        h.queue.createEngine();
        const QString longLine(1000, u'x');
        h.queue.enqueue(u"stuck"_s); // and the engine never says Ready
        h.queue.enqueue(longLine);
        h.queue.enqueue(u"last"_s);
        QTRY_COMPARE(h.engine->said.size(), 2);
        QCOMPARE(h.engine->said.at(1), longLine);
        QCOMPARE(h.engine->stops, 1);
        QTest::qWait(100); // the long line is not cut off by the stopped one's Ready
        QCOMPARE(h.engine->said.size(), 2);
        h.engine->become(SpeechEngine::State::Ready);
        QCOMPARE(h.engine->said.last(), u"last"_s);
    }

    void aTextTheEngineFailsOnCostsOnlyThatText()
    {
        Harness h;
        h.queue.createEngine();
        h.queue.enqueue(u"one"_s);
        h.queue.enqueue(u"two"_s);
        h.engine->become(SpeechEngine::State::Error);
        QCOMPARE(h.engine->said, QStringList{u"one"_s}); // nothing said into a failing engine
        h.engine->become(SpeechEngine::State::Ready);
        QCOMPARE(h.engine->said, (QStringList{u"one"_s, u"two"_s}));
        h.engine->become(SpeechEngine::State::Ready);
        h.queue.enqueue(u"three"_s);
        QCOMPARE(h.engine->said.last(), u"three"_s);
        QCOMPARE(h.complaints, QStringList{u"the voice could not say a line (no audio device); "
                                           u"it goes on with the next."_s});
    }

    void anEngineThatCannotBeginToSpeakFallsSilentAndSaysSoOnce()
    {
        Harness h;
        h.queue.createEngine();
        h.engine->failToStart = true;
        h.queue.enqueue(u"one"_s);
        h.queue.enqueue(u"two"_s);
        h.engine->become(SpeechEngine::State::Ready);
        h.queue.enqueue(u"three"_s);
        QCOMPARE(h.engine->said, QStringList{u"one"_s});
        QCOMPARE(h.complaints, QStringList{silent(u"no audio device"_s)});
    }

    void failingEveryTextWithoutEverFinishingOneFallsSilent()
    {
        Harness h;
        h.queue.createEngine();
        for (const QString& text : {u"one"_s, u"two"_s, u"three"_s, u"four"_s})
            h.queue.enqueue(text);
        for (int i = 0; i < 3; ++i) {
            h.engine->become(SpeechEngine::State::Error);
            h.engine->become(SpeechEngine::State::Ready);
        }
        QCOMPARE(h.engine->said.size(), 3);
        QCOMPARE(h.complaints.size(), 2);
        QCOMPARE(h.complaints.last(), silent(u"no audio device"_s));
    }

    void noEngineAtAllIsToldOnce()
    {
        QStringList complaints;
        SpeechQueue queue(
            [](const SpeechQueue::Complaint&) { return std::unique_ptr<SpeechEngine>(); },
            [&](const QString& why) { complaints << why; });
        queue.enqueue(u"one"_s);
        queue.createEngine();
        queue.createEngine();
        queue.enqueue(u"two"_s);
        QCOMPARE(complaints, QStringList{silent(u"no text-to-speech engine is installed"_s)});
    }
};

QTEST_GUILESS_MAIN(TestSpeechQueue)
#include "tst_speechqueue.moc"
