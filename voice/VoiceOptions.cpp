// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/VoiceOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cmath>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double slowest = 0.25;
constexpr double fastest = 4.0;

// A number as typed, or nothing when it is not one (nan and infinity are not).
std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
} // namespace

VoiceOptions::VoiceOptions(QCommandLineParser& parser)
    : m_parser(parser)
    , m_list(u"list-voices"_s, u"Print the voices that can be chosen, and end."_s)
    , m_voice(u"voice"_s,
              u"Speak with the voice called <name> (see --list-voices); \"system\" speaks "
              u"through the desktop's speech service."_s,
              u"name"_s)
    , m_rate(u"rate"_s, u"Speak <factor> times as fast as normal, from 0.25 to 4."_s, u"factor"_s,
             u"1"_s)
    , m_volume(u"volume"_s, u"Speak at <level>, from 0 (silent) to 1 (full)."_s, u"level"_s, u"1"_s)
{
    parser.addOptions({m_list, m_voice, m_rate, m_volume});
}

bool VoiceOptions::listRequested() const
{
    return m_parser.isSet(m_list);
}

VoiceOptions::Choice VoiceOptions::choice(const std::function<QList<VoiceInfo>()>& voices) const
{
    Choice choice;
    const QString rateText = m_parser.value(m_rate);
    const auto rate = number(rateText);
    if (!rate || *rate < slowest || *rate > fastest) {
        choice.error = u"--rate takes a factor from 0.25 to 4 (1 is the normal speed), not "
                       u"\"%1\"."_s.arg(rateText);
        return choice;
    }
    const QString volumeText = m_parser.value(m_volume);
    const auto volume = number(volumeText);
    if (!volume || *volume < 0.0 || *volume > 1.0) {
        choice.error =
            u"--volume takes a level from 0 (silent) to 1 (full), not \"%1\"."_s.arg(volumeText);
        return choice;
    }
    choice.settings.rate = *rate;
    choice.settings.volume = *volume;
    if (!m_parser.isSet(m_voice))
        return choice;

    const QString wanted = m_parser.value(m_voice).trimmed();
    const QList<VoiceInfo> offered = voices();
    for (const VoiceInfo& voice : offered) {
        if (voice.name.compare(wanted, Qt::CaseInsensitive) == 0) {
            choice.settings.voice = voice.name;
            return choice;
        }
    }
    choice.error = offered.isEmpty()
                       ? u"there is no voice called \"%1\": no voice is installed."_s.arg(wanted)
                       : u"there is no voice called \"%1\". The voices are:\n%2"_s.arg(
                             wanted, listing(offered).trimmed());
    return choice;
}

QString VoiceOptions::listing(const QList<VoiceInfo>& voices)
{
    // Columns: name, language, engine, the writing systems it reads, and the default marked.
    const auto systems = [](const VoiceInfo& voice) {
        return voice.writingSystems.isEmpty() ? u"as set there"_s
                                              : voice.writingSystems.join(u", "_s);
    };
    qsizetype name = 0;
    qsizetype language = 0;
    qsizetype engine = 0;
    qsizetype reads = 0;
    for (const VoiceInfo& voice : voices) {
        name = qMax(name, voice.name.size());
        language = qMax(language, voice.language.size());
        engine = qMax(engine, voice.engine.size());
        reads = qMax(reads, systems(voice).size());
    }
    QString text;
    for (const VoiceInfo& voice : voices) {
        QString line = u"%1  %2  %3  %4"_s.arg(
            voice.name.leftJustified(name), voice.language.leftJustified(language),
            voice.engine.leftJustified(engine), systems(voice).leftJustified(reads));
        if (voice.isDefault)
            line += u"  (default)"_s;
        text += line.trimmed() + u'\n';
    }
    return text;
}

int VoiceOptions::printList(const std::function<QList<VoiceInfo>(QString* note)>& voices)
{
    const QByteArray program = QCoreApplication::applicationName().toUtf8();
    QString note;
    const QList<VoiceInfo> list = voices(&note);
    if (!note.isEmpty())
        std::fprintf(stderr, "%s: %s.\n", program.constData(), qUtf8Printable(note));
    if (list.isEmpty()) {
        std::fprintf(stderr, "%s: no voice is installed.\n", program.constData());
        return 1;
    }
    std::fputs(qUtf8Printable(listing(list)), stdout);
    return 0;
}
