// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/FakeStage.h"

#include "engine/Conversation.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const QString questionTitle = u"Veyrath Message"_s;

QString nameOf(Persistence level)
{
    return level == Persistence::High  ? u"High"_s
           : level == Persistence::Low ? u"Low"_s
                                       : u"Medium"_s;
}
} // namespace

FakeStage::FakeStage()
    : now(QDate(2026, 12, 7), QTime(10, 0))
{
}

QStringList FakeStage::lines(const Beat& beat)
{
    if (const auto* text = std::get_if<QString>(&beat))
        return text->split(u" | "_s);
    if (const auto* level = std::get_if<Persistence>(&beat))
        return {u"menu: "_s + nameOf(*level)};
    if (std::holds_alternative<Exit>(beat))
        return {u"menu: Exit"_s};
    if (const auto* happening = std::get_if<Meanwhile>(&beat))
        return {u"meanwhile: "_s + happening->what};
    const Reply reply = std::get<Reply>(beat);
    return {reply == Reply::Yes ? u"Yes"_s : reply == Reply::No ? u"No"_s : u"OK"_s};
}

void FakeStage::follow(const Beats& beats)
{
    for (const Beat& beat : beats) {
        for (const QString& line : lines(beat)) {
            if (!std::holds_alternative<QString>(beat) || line.startsWith(u"> "_s))
                m_moves << (std::holds_alternative<QString>(beat) ? Beat(line) : beat);
        }
    }
}

std::optional<Beat> FakeStage::nextMove()
{
    while (!m_moves.isEmpty() && std::holds_alternative<Meanwhile>(m_moves.first())) {
        const Meanwhile happening = std::get<Meanwhile>(m_moves.takeFirst());
        transcript << lines(happening);
        happening.act();
    }
    if (m_moves.isEmpty()) {
        if (m_conversation)
            m_conversation->Form_Closed();
        return std::nullopt;
    }
    transcript << lines(m_moves.first());
    return m_moves.takeFirst();
}

void FakeStage::chooseFromMenu()
{
    while (m_conversation && !m_moves.isEmpty() &&
           (std::holds_alternative<Persistence>(m_moves.first()) ||
            std::holds_alternative<Exit>(m_moves.first()))) {
        const Beat choice = *nextMove();
        if (std::holds_alternative<Exit>(choice))
            m_conversation->MNU_EXIT_Click();
        else if (std::get<Persistence>(choice) == Persistence::High)
            m_conversation->MNU_HIGH_Click();
        else if (std::get<Persistence>(choice) == Persistence::Low)
            m_conversation->MNU_LOW_Click();
        else
            m_conversation->MNU_MEDIUM_Click();
    }
}

void FakeStage::presented(const QString& line, const QString& text)
{
    transcript << line;
    if (m_spoken != text)
        transcript << u"not spoken"_s;
    m_spoken.clear();
}

void FakeStage::display(const QString& line)
{
    presented(u"show: "_s + line, line);
    m_shown = transcript.size();
}

QString FakeStage::inputBox(const QString& prompt, const QString& title)
{
    presented((title == questionTitle ? u"input: "_s : u"input[%1]: "_s.arg(title)) + prompt,
              prompt);
    const std::optional<Beat> move = nextMove();
    const QString* typed = move ? std::get_if<QString>(&*move) : nullptr;
    return typed ? typed->mid(2) : QString();
}

Reply FakeStage::messageBox(const QString& prompt, BoxStyle style, const QString& title,
                            const QString& details)
{
    if (title != questionTitle) { // told, not asked: the person only acknowledges it
        const QString kind = style == BoxStyle::Warning       ? u"warning"_s
                             : style == BoxStyle::Information ? u"info"_s
                                                              : u"notice"_s;
        transcript << u"%1[%2]: %3"_s.arg(kind, title, prompt);
        if (!details.isEmpty())
            transcript << u"details: "_s + details;
        return Reply::Ok;
    }
    presented((style == BoxStyle::YesNo ? u"ask: "_s : u"box: "_s) + prompt, prompt);
    const std::optional<Beat> move = nextMove();
    const Reply* pressed = move ? std::get_if<Reply>(&*move) : nullptr;
    return pressed ? *pressed : Reply::No;
}

void FakeStage::showPersistence(std::optional<Persistence> level)
{
    transcript << u"marked: "_s + (level ? nameOf(*level) : u"none"_s);
}

void FakeStage::waitUntil(double deadline)
{
    // A shown line's pause is written beside it; the same wait again and again, once.
    const QString seconds = QString::number(deadline - monotonic);
    const QString wait = u"pause: "_s + seconds;
    const QString last = transcript.isEmpty() ? QString() : transcript.last();
    if (m_shown == transcript.size()) {
        transcript.last() += u" (%1 s)"_s.arg(seconds);
        m_shown = -1;
    } else if (last == wait || last.startsWith(wait + u" ("_s)) {
        transcript.last() = wait + u" (%1 times)"_s.arg(++m_repeats);
    } else {
        transcript << wait;
        m_repeats = 1;
    }
    if (meanwhile)
        meanwhile(deadline - monotonic);
    chooseFromMenu();
    monotonic = std::max(monotonic, deadline);
}
