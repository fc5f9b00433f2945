// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/FakeStage.h"

#include "engine/Conversation.h"

using namespace Qt::Literals::StringLiterals;

FakeStage::FakeStage()
    : now(QDate(2026, 12, 7), QTime(10, 0))
{
}

void FakeStage::display(const QString& line)
{
    displayed = line;
    transcript << u"show: "_s + line;
}

std::optional<FakeStage::Said> FakeStage::nextReply(bool wantText, const QString& prompt)
{
    if (m_replies.isEmpty()) {
        if (m_conversation)
            m_conversation->Form_Closed();
        return std::nullopt;
    }
    const Said answer = m_replies.takeFirst();
    const bool isText = std::holds_alternative<QString>(answer);
    if (isText != wantText && mismatch.isEmpty())
        mismatch = u"reply %1 given to \"%2\""_s.arg(
            isText ? std::get<QString>(answer) : QString::number(qint16(std::get<Reply>(answer))),
            prompt);
    return answer;
}

QString FakeStage::inputBox(const QString& prompt, const QString& title)
{
    transcript << u"prompt[%1]: %2"_s.arg(title, prompt);
    const std::optional<Said> answer = nextReply(true, prompt);
    return answer && std::holds_alternative<QString>(*answer) ? std::get<QString>(*answer)
                                                              : QString();
}

Reply FakeStage::messageBox(const QString& prompt, BoxStyle style, const QString& title,
                            const QString& details)
{
    const bool question = title == u"Veyrath Message"_s;
    transcript << u"%1(%2)[%3]: %4"_s.arg(question ? u"ask"_s : u"box"_s)
                      .arg(qint16(style))
                      .arg(title, prompt);
    if (!details.isEmpty())
        lastDetails << details;
    if (!question)
        return Reply::Ok; // notices are acknowledged without a scripted reply
    if (whileAsked)
        whileAsked(prompt);
    const std::optional<Said> answer = nextReply(false, prompt);
    return answer && std::holds_alternative<Reply>(*answer) ? std::get<Reply>(*answer) : Reply::No;
}

void FakeStage::waitUntil(double deadline)
{
    const double length = deadline - monotonic;
    transcript << u"pause: %1"_s.arg(length);
    if (duringWait) {
        auto hook = std::move(duringWait);
        duringWait = nullptr;
        hook(length);
    }
    monotonic = std::max(monotonic, deadline);
}

double FakeStage::next()
{
    ++drawn;
    return draws.isEmpty() ? fallback : draws.takeFirst();
}
