#include "tests/support/FakeStage.h"

#include "engine/Conversation.h"

using namespace Qt::Literals::StringLiterals;

FakeStage::FakeStage()
    : now(QDate(2026, 12, 7), QTime(10, 0))
    , m_checked{u"MNU_MEDIUM"_s}
{
}

void FakeStage::display(const QString& line)
{
    displayed = line;
    transcript << u"show: "_s + line;
}

QVariant FakeStage::nextReply(bool wantText, const QString& prompt)
{
    if (m_replies.isEmpty()) {
        if (m_conversation)
            m_conversation->Form_Closed();
        return {};
    }
    const QVariant answer = m_replies.takeFirst();
    const bool isText = answer.typeId() == QMetaType::QString;
    if (isText != wantText && mismatch.isEmpty())
        mismatch = u"reply %1 given to \"%2\""_s.arg(answer.toString(), prompt);
    return answer;
}

QString FakeStage::inputBox(const QString& prompt, const QString& title)
{
    transcript << u"prompt[%1]: %2"_s.arg(title, prompt);
    return nextReply(true, prompt).toString();
}

int FakeStage::messageBox(const QString& prompt, int style, const QString& title,
                          const QString& details)
{
    const bool question = title == u"Veyrath Message"_s;
    transcript
        << u"%1(%2)[%3]: %4"_s.arg(question ? u"ask"_s : u"box"_s).arg(style).arg(title, prompt);
    if (!details.isEmpty())
        lastDetails << details;
    if (!question)
        return Ok; // notices are acknowledged without a scripted reply
    const QVariant answer = nextReply(false, prompt);
    return answer.isValid() ? answer.toInt() : No;
}

void FakeStage::setMenuChecked(const QString& item, bool checked)
{
    m_checked.removeAll(item);
    if (checked)
        m_checked << item;
}

QStringList FakeStage::checkedItems() const
{
    return m_checked;
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
