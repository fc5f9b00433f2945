// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <functional>

// What the speech queue needs of a text-to-speech engine, so that it can be tested without
// a voice or a sound card. Not a QObject: an engine may come from a module loaded at run
// time, and only plain virtual calls cross into one safely.
class SpeechEngine {
public:
    enum class State { Ready, Speaking, Error };
    using Listener = std::function<void(State state)>;
    // Tells the person at the machine something in a full sentence: what is left unsaid, or
    // which voice speaks instead. The engine tells each kind once.
    using Complaint = std::function<void(const QString& sentence)>;

    virtual ~SpeechEngine() = default;
    virtual State state() const = 0;
    virtual QString errorString() const = 0;
    virtual void say(const QString& text) = 0;
    virtual void stop() = 0;

    // Told of every change of state, at once and on the engine's thread.
    void setListener(Listener listener) { m_listener = std::move(listener); }
    void setComplaint(Complaint complaint) { m_complaint = std::move(complaint); }

protected:
    void notify(State state)
    {
        if (m_listener)
            m_listener(state);
    }
    void complain(const QString& sentence)
    {
        if (m_complaint)
            m_complaint(sentence);
    }

private:
    Listener m_listener;
    Complaint m_complaint;
};
