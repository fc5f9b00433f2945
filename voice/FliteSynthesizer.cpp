// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/FliteSynthesizer.h"

#include "voice/SpeakableText.h"

#include <QLibrary>
#include <QMutex>
#include <cstring>
#include <stdexcept>

extern "C" {
#include <flite/flite.h>
}

using namespace Qt::Literals::StringLiterals;

namespace {
struct BuiltInVoice {
    const char* name;
    const char* language;
    int sampleRate;
};

constexpr BuiltInVoice builtInVoices[] = {
    {"slt", "English (America), female", 16000},
    {"rms", "English (America), male", 16000},
    {"awb", "English (Scotland), male", 16000},
    {"kal16", "English (America), male, plainer and quicker to make", 16000},
    {"kal", "English (America), male, plainer, telephone quality", 8000},
};

const BuiltInVoice* find(const QString& name)
{
    if (name.isEmpty())
        return &builtInVoices[0];
    for (const BuiltInVoice& voice : builtInVoices) {
        if (name.compare(QLatin1String(voice.name), Qt::CaseInsensitive) == 0)
            return &voice;
    }
    return nullptr;
}

// Each voice is a library of its own, loaded only when it is chosen: the three natural ones
// hold four megabytes of tables each, which every start would otherwise spend time and memory
// relocating.
//
// A voice, once registered, is shared by the whole process and lives as long as it does:
// registering it again hands back the same one, and unregistering it would pull it from
// under every other user.
cst_voice* sharedVoice(const QString& name)
{
    static QMutex mutex;
    static bool initialised = false;
    QMutexLocker lock(&mutex);
    if (!initialised) {
        flite_init();
        initialised = true;
    }
    QLibrary library(u"flite_cmu_us_"_s + name, 1);
    using Register = cst_voice* (*)(const char* voxdir);
    const auto registerVoice =
        reinterpret_cast<Register>(library.resolve((u"register_cmu_us_"_s + name).toLatin1()));
    if (!registerVoice)
        throw std::runtime_error(
            u"the voice %1 is not installed: %2"_s.arg(name, library.errorString()).toStdString());
    return registerVoice(nullptr);
}
} // namespace

QList<VoiceInfo> FliteSynthesizer::voices()
{
    QList<VoiceInfo> list;
    for (const BuiltInVoice& voice : builtInVoices)
        list << VoiceInfo{QString::fromLatin1(voice.name),
                          QString::fromLatin1(voice.language),
                          u"flite"_s,
                          {u"Latin"_s}};
    return list;
}

int FliteSynthesizer::sampleRate(const QString& voice)
{
    const BuiltInVoice* found = find(voice);
    return found ? found->sampleRate : builtInVoices[0].sampleRate;
}

FliteSynthesizer::FliteSynthesizer(const QString& voice, double rate)
    : m_rate(rate)
{
    const BuiltInVoice* chosen = find(voice);
    if (!chosen)
        throw std::invalid_argument("no such voice: " + voice.toStdString());
    m_name = QString::fromLatin1(chosen->name);
    m_voice = sharedVoice(m_name);
    if (!m_voice)
        throw std::runtime_error("libflite could not load the voice " + m_name.toStdString());
}

void FliteSynthesizer::synthesize(const QString& text, const Delivery& deliver) const
{
    // libflite hands out the samples while it makes the rest; a voice that cannot do so gives
    // them whole at the end.
    struct Streaming {
        const Delivery& deliver;
        bool delivered = false;
    } streaming{deliver};
    cst_audio_streaming_info* info = new_audio_streaming_info();
    info->userdata = &streaming;
    info->asc = [](const cst_wave* wave, int start, int size, int, cst_audio_streaming_info* asi) {
        auto& state = *static_cast<Streaming*>(asi->userdata);
        if (size > 0) {
            state.deliver(QByteArray(reinterpret_cast<const char*>(wave->samples + start),
                                     qsizetype(size) * qsizetype(sizeof(short))));
            state.delivered = true;
        }
        return CST_AUDIO_STREAM_CONT;
    };
    // The voice is shared, so its speed and the listener are set for each text.
    feat_set(m_voice->features, "streaming_info", audio_streaming_info_val(info));
    feat_set_float(m_voice->features, "duration_stretch", float(1.0 / m_rate));
    cst_wave* wave = flite_text_to_wave(text.toUtf8().constData(), m_voice);
    feat_remove(m_voice->features, "streaming_info"); // and with it, info
    if (!wave)
        return;
    if (!streaming.delivered && cst_wave_num_samples(wave) > 0) {
        deliver(QByteArray(reinterpret_cast<const char*>(wave->samples),
                           qsizetype(cst_wave_num_samples(wave)) * qsizetype(sizeof(short))));
    }
    delete_wave(wave);
}

void FliteSynthesizer::say(const QString& text, const Delivery& deliver) const
{
    for (const QString& piece : SpeakableText::pieces(SpeakableText::prepare(text)))
        synthesize(piece, deliver);
}
