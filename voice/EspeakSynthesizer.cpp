// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/EspeakSynthesizer.h"

#include <QMutex>
#include <QSet>
#include <stdexcept>

extern "C" {
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
}

using namespace Qt::Literals::StringLiterals;

namespace {
// eSpeak NG's normal speed, in words a minute.
constexpr int normalWordsPerMinute = espeakRATE_NORMAL;
// How much sound eSpeak NG makes before it hands it over: small, so that the first sound of
// a line is ready soon.
constexpr int bufferMs = 50;

struct Library {
    QMutex lock;
    bool tried = false;
    EspeakSynthesizer::Installed installed;
    int sampleRate = 0;
    QByteArray currentVoice;
};

Library& library()
{
    static Library instance;
    return instance;
}

int collect(short* samples, int count, espeak_EVENT* events)
{
    const auto* deliver = static_cast<const Synthesizer::Delivery*>(events->user_data);
    if (deliver && samples && count > 0)
        (*deliver)(QByteArray(reinterpret_cast<const char*>(samples),
                              qsizetype(count) * qsizetype(sizeof(short))));
    return 0; // go on
}

QString statusText(espeak_ng_STATUS status)
{
    char text[512] = {};
    espeak_ng_GetStatusCodeMessage(status, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

// The voices in eSpeak NG's data, named by their language tag; a second voice for the same
// language is named by its file instead. MBROLA's voices need a program of their own and are
// left out.
QList<EspeakSynthesizer::Voice> readVoices()
{
    QList<EspeakSynthesizer::Voice> voices;
    QSet<QString> names;
    const espeak_VOICE** list = espeak_ListVoices(nullptr);
    for (int i = 0; list && list[i]; ++i) {
        const espeak_VOICE& v = *list[i];
        const QByteArray file(v.identifier);
        if (file.startsWith("mb/") || !v.languages || !v.languages[0])
            continue;
        EspeakSynthesizer::Voice voice;
        // The language list starts with a priority byte.
        voice.language = QString::fromUtf8(v.languages + 1);
        voice.title = QString::fromUtf8(v.name).replace(u'_', u' ');
        voice.file = file;
        voice.name = voice.language.toLower();
        if (names.contains(voice.name))
            voice.name = QString::fromUtf8(file.mid(file.lastIndexOf('/') + 1)).toLower();
        names.insert(voice.name);
        voices << voice;
    }
    return voices;
}

// Under the library's lock.
bool ensureInitialized(Library& lib)
{
    if (lib.tried)
        return lib.installed.problem.isEmpty();
    lib.tried = true;
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status == ENS_OK)
        status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, bufferMs, nullptr);
    if (status == ENS_OK) {
        espeak_SetSynthCallback(collect);
        lib.sampleRate = espeak_ng_GetSampleRate();
        lib.installed.voices = readVoices();
    }
    if (status != ENS_OK || lib.installed.voices.isEmpty()) {
        lib.installed.voices.clear();
        lib.installed.problem =
            u"the voices of eSpeak NG could not be loaded (%1); the package espeak-ng-data "
            u"holds them"_s.arg(status != ENS_OK ? statusText(status) : u"none was found"_s);
        return false;
    }
    return true;
}
} // namespace

const EspeakSynthesizer::Installed& EspeakSynthesizer::installed()
{
    Library& lib = library();
    QMutexLocker lock(&lib.lock);
    ensureInitialized(lib);
    return lib.installed;
}

QStringList EspeakSynthesizer::voicesFor(const QString& language)
{
    Library& lib = library();
    QMutexLocker lock(&lib.lock);
    if (!ensureInitialized(lib))
        return {};
    const QByteArray tag = language.toLower().replace(u'_', u'-').toUtf8();
    espeak_VOICE wanted{};
    wanted.languages = tag.constData();
    QStringList names;
    const espeak_VOICE** list = espeak_ListVoices(&wanted);
    for (int i = 0; list && list[i]; ++i) {
        for (const Voice& voice : std::as_const(lib.installed.voices)) {
            if (voice.file == list[i]->identifier)
                names << voice.name;
        }
    }
    return names;
}

EspeakSynthesizer::EspeakSynthesizer(const QString& voice, double rate)
    : m_wordsPerMinute(qRound(normalWordsPerMinute * rate))
{
    const Installed& all = installed();
    if (!all.problem.isEmpty())
        throw std::runtime_error(all.problem.toStdString());
    for (const Voice& v : all.voices) {
        if (v.name.compare(voice, Qt::CaseInsensitive) == 0)
            m_file = v.file;
    }
    if (m_file.isEmpty())
        throw std::invalid_argument("no such voice: " + voice.toStdString());
}

int EspeakSynthesizer::rate()
{
    Library& lib = library();
    QMutexLocker lock(&lib.lock);
    ensureInitialized(lib);
    return lib.sampleRate;
}

int EspeakSynthesizer::sampleRate() const
{
    return rate();
}

void EspeakSynthesizer::say(const QString& text, const Delivery& deliver) const
{
    Library& lib = library();
    QMutexLocker lock(&lib.lock);
    // Loading a voice reads its dictionary: only when the last text was said in another.
    if (lib.currentVoice != m_file) {
        if (espeak_ng_SetVoiceByName(m_file.constData()) != ENS_OK)
            return;
        lib.currentVoice = m_file;
    }
    espeak_ng_SetParameter(espeakRATE, m_wordsPerMinute, 0);
    // Plain text: a line may hold "<" and "&", which are not markup here.
    const QByteArray utf8 = text.toUtf8();
    Delivery copy = deliver;
    espeak_ng_Synthesize(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                         espeakCHARS_UTF8, nullptr, &copy);
}
