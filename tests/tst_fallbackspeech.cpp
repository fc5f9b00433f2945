// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/FallbackSpeechEngine.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// Says what it is given; fails at once when told to, as a service that stopped answering.
class Engine final : public SpeechEngine {
public:
    explicit Engine(QStringList& said, bool fails = false)
        : m_said(said)
        , m_fails(fails)
    {
    }
    State state() const override { return m_state; }
    QString errorString() const override { return u"the service hung up"_s; }
    void say(const QString& text) override
    {
        if (m_fails) {
            m_state = State::Error;
            notify(m_state);
            return;
        }
        m_said << text;
        notify(State::Speaking);
        notify(State::Ready);
    }
    void stop() override {}

private:
    QStringList& m_said;
    bool m_fails;
    State m_state = State::Ready;
};
} // namespace

// When the desktop's speech service stops answering, the voices built in take over: the line
// it failed on is said, nothing after it is lost, and the change is told once.
class TestFallbackSpeech : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theVoicesBuiltInTakeOverFromAFailingService()
    {
        QStringList byService;
        QStringList builtIn;
        QStringList told;
        QList<SpeechEngine::State> states;
        int made = 0;
        FallbackSpeechEngine engine(
            std::make_unique<Engine>(byService, true),
            [&] {
                ++made;
                return std::make_unique<Engine>(builtIn);
            },
            u"the desktop's speech service failed"_s);
        engine.setComplaint([&](const QString& sentence) { told << sentence; });
        engine.setListener([&](SpeechEngine::State state) { states << state; });

        engine.say(u"Hello."_s);
        engine.say(u"What is your name?"_s);

        QCOMPARE(builtIn, (QStringList{u"Hello."_s, u"What is your name?"_s}));
        QCOMPARE(made, 1);
        QCOMPARE(told, QStringList{u"the desktop's speech service failed (the service hung up); "
                                   u"the voices built in speak instead"_s});
        QVERIFY(!states.contains(SpeechEngine::State::Error));
        QCOMPARE(states.last(), SpeechEngine::State::Ready);
    }
};

QTEST_GUILESS_MAIN(TestFallbackSpeech)
#include "tst_fallbackspeech.moc"
