// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/LinePlan.h"

#include "voice/VoiceCatalog.h"
#include "voice/WritingSystem.h"

#include <algorithm>

namespace {
bool holdsWords(const QString& text)
{
    const QList<uint> codes = text.toUcs4();
    return std::any_of(codes.cbegin(), codes.cend(),
                       [](uint c) { return QChar::isLetterOrNumber(c); });
}
} // namespace

LinePlan::LinePlan(const VoiceCatalog& catalog, QString mainVoice)
    : m_catalog(catalog)
    , m_main(std::move(mainVoice))
    , m_english(catalog.voiceFor(QChar::Script_Latin))
{
}

LinePlan::Plan LinePlan::plan(const QString& line) const
{
    Plan plan;
    // A line of marks or symbols alone has them named by the English voice, as it always
    // had, so that it is heard too.
    if (!holdsWords(line)) {
        if (!line.trimmed().isEmpty())
            plan.runs << Run{m_catalog.isFlite(m_main) ? m_main : m_english, line};
        return plan;
    }

    // Runs with the voice that says them; an empty voice for letters none reads, and the
    // name of their writing system kept in the text of `unread`.
    QList<Run> runs;
    QList<QString> writingSystems;
    QString leading; // what comes before the first letter
    for (const uint code : line.toUcs4()) {
        const auto c = char32_t(code);
        const QString character = QString::fromUcs4(&c, 1);
        const QChar::Script script = WritingSystem::of(c);
        if (script == QChar::Script_Common) {
            // After letters no voice reads, a digit is still said, by the chosen voice.
            if (runs.isEmpty()) {
                leading += character;
            } else if (!runs.last().voice.isEmpty() || !QChar::isLetterOrNumber(c)) {
                runs.last().text += character;
            } else {
                runs << Run{m_main, character};
                writingSystems << QString();
            }
            continue;
        }
        const QString voice = m_catalog.reads(m_main, script) ? m_main : m_catalog.voiceFor(script);
        if (!runs.isEmpty() && runs.last().voice == voice) {
            runs.last().text += character;
            continue;
        }
        if (runs.isEmpty() && voice.isEmpty() && holdsWords(leading)) {
            runs << Run{m_main, leading};
            writingSystems << QString();
        } else if (runs.isEmpty()) {
            runs << Run{voice, leading + character};
            writingSystems << WritingSystem::name(script);
            continue;
        }
        runs << Run{voice, character};
        writingSystems << WritingSystem::name(script);
    }

    // Digits and marks alone are the chosen voice's.
    if (runs.isEmpty()) {
        runs << Run{m_main, leading};
        writingSystems << QString();
    }
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const Run& run = runs.at(i);
        if (run.voice.isEmpty()) {
            plan.unread << Run{writingSystems.at(i), run.text.trimmed()};
        } else if (holdsWords(run.text)) {
            if (!plan.runs.isEmpty() && plan.runs.last().voice == run.voice)
                plan.runs.last().text += run.text;
            else
                plan.runs << run;
        }
    }
    for (Run& run : plan.runs)
        run.text = run.text.trimmed();
    return plan;
}
