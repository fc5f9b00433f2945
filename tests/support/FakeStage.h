// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "clock/Clock.h"
#include "engine/Presenter.h"
#include "engine/RandomSource.h"
#include "engine/Voice.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>
#include <variant>

class Conversation;

// Plays the person, the screen, the voice, the clock and the dice for a conversation under
// test. Replies are scripted in order: a QString answers an input box, a Reply a message box.
// When the replies run out the window is closed, which ends the conversation.
//
// Everything presented lands in `transcript`, one entry each:
//   "show: TEXT", "prompt[TITLE]: TEXT", "ask(STYLE)[TITLE]: TEXT", "box(STYLE)[TITLE]: TEXT",
//   "pause: SECONDS", "about", "about hidden", "closed"
class FakeStage final : public Presenter, public Voice, public Clock, public RandomSource {
public:
    // What the person says to a box: typed text or the button pressed.
    using Said = std::variant<QString, Reply>;

    FakeStage();

    void attach(Conversation& conversation) { m_conversation = &conversation; }
    void reply(const Said& answer) { m_replies << answer; }
    void replies(const QList<Said>& answers) { m_replies << answers; }

    QStringList transcript;
    QStringList spoken;
    QString displayed;
    std::optional<Persistence> markedPersistence = Persistence::Medium; // as the menu shows
    QString mismatch; // set when a reply did not fit the box it was given to

    // Dice: the queued values first, then `fallback`.
    QList<double> draws;
    double fallback = 0.0;
    int reseeds = 0;
    int drawn = 0;

    QDateTime now;
    double monotonic = 1000.0;
    std::function<void(double)> duringWait; // runs inside a wait, with its length
    // Runs while a question box is open, with its text: what another program does meanwhile.
    std::function<void(const QString&)> whileAsked;

    // Presenter
    void display(const QString& line) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    Reply messageBox(const QString& prompt, BoxStyle style, const QString& title,
                     const QString& details = {}) override;
    void hideStartButton() override { transcript << QStringLiteral("start hidden"); }
    void showPersistence(std::optional<Persistence> level) override { markedPersistence = level; }
    void showAbout() override { transcript << QStringLiteral("about"); }
    void hideAbout() override { transcript << QStringLiteral("about hidden"); }
    void closeProgram() override { transcript << QStringLiteral("closed"); }

    // Voice
    void speak(const QString& text) override { spoken << text; }

    // Clock
    double monotonicSeconds() const override { return monotonic; }
    QDateTime localNow() const override { return now; }
    void waitUntil(double deadline) override;

    // RandomSource
    void reseed() override { ++reseeds; }
    double next() override;

    QStringList lastDetails;

private:
    std::optional<Said> nextReply(bool wantText, const QString& prompt);

    Conversation* m_conversation = nullptr;
    QList<Said> m_replies;
};

// The position a draw must have to land on `slot` (1 to 20) of its block.
inline double drawFor(int positionInBlock)
{
    return (positionInBlock - 1 + 0.5) / 20.0;
}
