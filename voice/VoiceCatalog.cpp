// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/VoiceCatalog.h"

#include "voice/EspeakSynthesizer.h"
#include "voice/FliteSynthesizer.h"
#include "voice/WritingSystem.h"

using namespace Qt::Literals::StringLiterals;

namespace {
bool isEnglish(const QString& tag)
{
    const QString base = tag.section(u'-', 0, 0).toLower();
    // "C" and "POSIX" are what a machine with no language set says.
    return base == u"en"_s || base == u"c"_s || base == u"posix"_s;
}

// eSpeak NG knows languages by language and region: "pt-Latn-BR" is its "pt-br".
QString withoutScript(const QString& tag)
{
    QStringList parts = tag.split(u'-');
    parts.removeIf([](const QString& part) { return part.size() == 4 && part.at(0).isLetter(); });
    return parts.join(u'-');
}

QStringList names(const QList<QChar::Script>& scripts)
{
    QStringList list;
    for (const QChar::Script script : scripts)
        list << WritingSystem::name(script);
    return list;
}
} // namespace

QString VoiceCatalog::systemVoice()
{
    return u"system"_s;
}

VoiceCatalog::VoiceCatalog(const QLocale& desktop)
{
    for (const VoiceInfo& voice : FliteSynthesizer::voices()) {
        m_voices << voice;
        m_reads.insert(voice.name, {QChar::Script_Latin});
    }
    const QString english = m_voices.constFirst().name;
    const EspeakSynthesizer::Installed& espeak = EspeakSynthesizer::installed();
    for (const EspeakSynthesizer::Voice& voice : espeak.voices) {
        // By name, which tells "yue-latn-jyutping" from "yue".
        const QList<QChar::Script> scripts = WritingSystem::readBy(voice.name);
        m_voices << VoiceInfo{voice.name, voice.title, u"eSpeak NG"_s, names(scripts)};
        m_reads.insert(voice.name, scripts);
    }
    if (!espeak.problem.isEmpty())
        m_missing = espeak.problem + u"; only English is spoken"_s;
    m_voices << VoiceInfo{
        systemVoice(), u"the desktop's own voice, language and rate"_s, u"speech-dispatcher"_s, {}};

    const QStringList languages = desktop.uiLanguages();
    for (const QString& tag : languages) {
        if (isEnglish(tag)) {
            m_default = english;
            break;
        }
        if (const QStringList found = EspeakSynthesizer::voicesFor(withoutScript(tag));
            !found.isEmpty()) {
            m_default = found.constFirst();
            break;
        }
    }
    if (m_default.isEmpty()) {
        m_default = english;
        const QString tag = languages.value(0);
        m_defaultNote =
            u"no voice is installed for %1 (%2), the desktop's language, so the English "
            u"voice speaks"_s.arg(QLocale::languageToString(QLocale(tag).language()), tag);
    }
    for (VoiceInfo& voice : m_voices)
        voice.isDefault = voice.name == m_default;
}

bool VoiceCatalog::contains(const QString& name) const
{
    return m_reads.contains(name);
}

bool VoiceCatalog::isFlite(const QString& name) const
{
    for (const VoiceInfo& voice : m_voices) {
        if (voice.name == name)
            return voice.engine == u"flite"_s;
    }
    return false;
}

int VoiceCatalog::sampleRate(const QString& name) const
{
    return isFlite(name) ? FliteSynthesizer::sampleRate(name) : EspeakSynthesizer::rate();
}

bool VoiceCatalog::reads(const QString& voice, QChar::Script script) const
{
    return m_reads.value(voice).contains(script);
}

QString VoiceCatalog::voiceFor(QChar::Script script) const
{
    if (const auto known = m_forScript.constFind(script); known != m_forScript.cend())
        return *known;
    QString voice;
    if (script == QChar::Script_Latin) {
        voice = m_voices.constFirst().name;
    } else if (const QString language = WritingSystem::language(script); !language.isEmpty()) {
        voice = EspeakSynthesizer::voicesFor(language).value(0);
        // Any other voice that reads it, for a language whose first voice is missing.
        for (qsizetype i = 0; voice.isEmpty() && i < m_voices.size(); ++i) {
            if (reads(m_voices.at(i).name, script))
                voice = m_voices.at(i).name;
        }
    }
    m_forScript.insert(script, voice);
    return voice;
}
