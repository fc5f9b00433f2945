#pragma once

#include "clock/Clock.h"
#include "engine/Presenter.h"
#include "engine/RandomSource.h"
#include "engine/Voice.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <functional>

class Conversation;

// Plays the person, the screen, the voice, the clock and the dice for a conversation under
// test. Replies are scripted in order: a QString answers an input box, an int a message box.
// When the replies run out the window is closed, which ends the conversation.
//
// Everything presented lands in `transcript`, one entry each:
//   "show: TEXT", "prompt[TITLE]: TEXT", "ask(STYLE)[TITLE]: TEXT", "box(STYLE)[TITLE]: TEXT",
//   "pause: SECONDS", "about", "about hidden", "closed"
class FakeStage final : public Presenter, public Voice, public Clock, public RandomSource {
public:
    FakeStage();

    void attach(Conversation& conversation) { m_conversation = &conversation; }
    void reply(const QVariant& answer) { m_replies << answer; }
    void replies(const QVariantList& answers) { m_replies << answers; }

    QStringList transcript;
    QStringList spoken;
    QString displayed;
    QStringList checkedItems() const;
    QString mismatch; // set when a reply did not fit the box it was given to

    // Dice: the queued values first, then `fallback`.
    QList<double> draws;
    double fallback = 0.0;
    int reseeds = 0;
    int drawn = 0;

    QDateTime now;
    double monotonic = 1000.0;
    std::function<void(double)> duringWait; // runs inside a wait, with its length

    // Presenter
    void display(const QString& line) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    int messageBox(const QString& prompt, int style, const QString& title,
                   const QString& details = {}) override;
    void hideStartButton() override { transcript << QStringLiteral("start hidden"); }
    void setMenuChecked(const QString& item, bool checked) override;
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
    QVariant nextReply(bool wantText, const QString& prompt);

    Conversation* m_conversation = nullptr;
    QVariantList m_replies;
    QStringList m_checked;
};

// The position a draw must have to land on `slot` (1 to 20) of its block.
inline double drawFor(int positionInBlock)
{
    return (positionInBlock - 1 + 0.5) / 20.0;
}
