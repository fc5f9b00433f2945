// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/SpeechEngine.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

// Says queued texts one after the other. The engine's say() cuts off the text being
// spoken, so the next text waits for the engine to be Ready again, or for a watchdog when
// the engine never says so.
//
// An engine may fail on one text and speak the next (Qt 6.4's flite fails on some texts
// with "Audio streaming error"), so a failure after speaking began costs only that text;
// the next one waits until the engine is Ready, as saying into a failing engine can crash
// it. An engine that cannot begin to speak at all, or fails again and again without ever
// finishing a text, has no working voice: the queue falls silent and tells once why.
class SpeechQueue : public QObject {
    Q_OBJECT

public:
    // Tells the person at the machine, once for each kind of trouble, in a full sentence.
    using Complaint = SpeechEngine::Complaint;
    // Makes the engine; what it has to tell on the way goes to the complaint it is given.
    using EngineFactory = std::function<std::unique_ptr<SpeechEngine>(const Complaint&)>;

    // By default the platform's voice as it comes, and complaints go to standard error.
    explicit SpeechQueue(EngineFactory factory = {}, Complaint complain = {},
                         QObject* parent = nullptr);
    ~SpeechQueue() override;

    void createEngine();
    void enqueue(const QString& text);
    void shutdown();
    // How long a text may take, in milliseconds: a fixed part and a part per character.
    void setWatchdog(int fixedMs, int perCharacterMs);

Q_SIGNALS:
    // There is no working voice, for the reason given; nothing more will be said.
    void fellSilent(const QString& why);

private:
    void sayNext();
    void onStateChanged(SpeechEngine::State state);
    void fallSilent(const QString& why);

    EngineFactory m_factory;
    Complaint m_complain;
    std::unique_ptr<SpeechEngine> m_engine;
    QStringList m_pending;
    bool m_started = false;   // the engine began to speak the current text
    bool m_failed = false;    // and then failed on it
    bool m_everSpoke = false; // some text was spoken to its end
    int m_failuresInARow = 0;
    bool m_toldSkipped = false;
    QTimer m_watchdog;
    int m_fixedMs = 2000;
    int m_perCharacterMs = 200; // generous against the slowest voices
    bool m_speaking = false;
    bool m_silent = false;
};
