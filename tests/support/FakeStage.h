// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "clock/Clock.h"
#include "engine/Presenter.h"
#include "engine/RandomSource.h"
#include "engine/Voice.h"

#include <QDateTime>
#include <QMetaType>
#include <QStringList>
#include <functional>
#include <variant>

class Conversation;

struct Exit { // "&Exit" chosen from the menu
    friend bool operator==(Exit, Exit) = default;
};

// Something another program or the world does while the person makes their next move: a
// server stopped, a file taken away. It is written down as "meanwhile: WHAT".
struct Meanwhile {
    QString what;
    std::function<void()> act;
    friend bool operator==(const Meanwhile& a, const Meanwhile& b) { return a.what == b.what; }
};

// A conversation as a test writes it: lines of the transcript, several to a text when joined
// by " | ", among them the answers typed into boxes ("> TEXT"), and the person's other moves:
// a button pressed (Reply::Yes) or a menu choice (Persistence::High, Exit{}); and what happens
// meanwhile, just before the move that follows it.
using Beat = std::variant<QString, Reply, Persistence, Exit, Meanwhile>;
using Beats = QList<Beat>;
Q_DECLARE_METATYPE(Beats)

// Plays the person, the screen, the voice, the clock and the dice for a conversation, and
// writes down what happens, a line each:
//   "show: TEXT (N s)"  the large text and the pause it stays for
//   "input: TEXT", "ask: TEXT", "box: TEXT"  an input box, a Yes/No box, an OK box; then the
//       person's move: "> TEXT", "Yes", "No", "OK" ("menu: High", "menu: Exit" at a wait)
//   "notice[TITLE]: TEXT", "info[TITLE]: ...", "warning[TITLE]: ...", "details: TEXT"  told,
//       and acknowledged without a move
//   "pause: N (K times)", "marked: High", "about", "about hidden", "closed"
//   "not spoken"  the line above was presented without being said
// When the moves run out at a box, the person closes the window.
class FakeStage final : public Presenter, public Voice, public Clock, public RandomSource {
public:
    FakeStage();

    void attach(Conversation& conversation) { m_conversation = &conversation; }
    void follow(const Beats& beats); // queues the person's moves among `beats`
    void chooseFromMenu();           // makes the menu choices that come next
    static QStringList lines(const Beat& beat);

    QStringList transcript;
    QDateTime now;
    double monotonic = 1000.0;
    // Where the picks land, a list of draws a pick: positions 1 to 20 in the block (more is a
    // draw out of range). A pick with no list left lands on position 1.
    QList<QList<int>> dice;
    std::function<void(double seconds)> meanwhile; // another program, inside every wait

    void display(const QString& line) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    Reply messageBox(const QString& prompt, BoxStyle style, const QString& title,
                     const QString& details = {}) override;
    void hideStartButton() override {}
    void showPersistence(std::optional<Persistence> level) override;
    void showAbout() override { transcript << QStringLiteral("about"); }
    void hideAbout() override { transcript << QStringLiteral("about hidden"); }
    void closeProgram() override { transcript << QStringLiteral("closed"); }
    void speak(const QString& text) override { m_spoken = text; }
    double monotonicSeconds() const override { return monotonic; }
    QDateTime localNow() const override { return now; }
    void waitUntil(double deadline) override;
    void reseed() override { m_pick = dice.isEmpty() ? QList<int>() : dice.takeFirst(); }
    double next() override { return ((m_pick.isEmpty() ? 1 : m_pick.takeFirst()) - 0.5) / 20; }

private:
    std::optional<Beat> nextMove();
    void presented(const QString& line, const QString& text);

    Conversation* m_conversation = nullptr;
    QList<Beat> m_moves;
    QList<int> m_pick;
    QString m_spoken;
    qsizetype m_shown = -1; // the transcript's length just after a line was shown
    int m_repeats = 0;
};

// The beats written one after another: texts, replies, menu choices and whole Beats.
template <typename... Parts> Beats beats(const Parts&... parts)
{
    Beats all;
    const auto add = [&all](const auto& part) {
        using Part = std::decay_t<decltype(part)>;
        if constexpr (std::is_same_v<Part, Beats>)
            all << part;
        else if constexpr (std::is_convertible_v<Part, const char*>)
            all << Beat(QString::fromUtf8(part));
        else
            all << Beat(part);
    };
    (add(parts), ...);
    return all;
}
