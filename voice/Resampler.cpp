// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/Resampler.h"

#include <samplerate.h>
#include <stdexcept>
#include <vector>

Resampler::Resampler(int fromRate, int toRate)
    : m_ratio(double(toRate) / double(fromRate))
{
    int error = 0;
    // Speech, not music: the fastest of the band-limited converters is clean enough and
    // keeps the first sound of a line early.
    m_state = src_new(SRC_SINC_FASTEST, 1, &error);
    if (!m_state || src_is_valid_ratio(m_ratio) == 0)
        throw std::runtime_error(std::string("libsamplerate: ") + src_strerror(error));
}

Resampler::~Resampler()
{
    src_delete(m_state);
}

QByteArray Resampler::convert(const QByteArray& samples)
{
    return run(samples, false);
}

QByteArray Resampler::finish()
{
    return run({}, true);
}

QByteArray Resampler::run(const QByteArray& samples, bool last)
{
    const auto count = long(samples.size() / qsizetype(sizeof(short)));
    std::vector<float> in(static_cast<size_t>(count));
    src_short_to_float_array(reinterpret_cast<const short*>(samples.constData()), in.data(),
                             int(count));
    std::vector<float> out(size_t(double(count) * m_ratio) + 256);
    QByteArray converted;
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = count;
    data.src_ratio = m_ratio;
    data.end_of_input = last ? 1 : 0;
    for (;;) {
        data.data_out = out.data();
        data.output_frames = long(out.size());
        if (src_process(m_state, &data) != 0)
            return converted;
        if (data.output_frames_gen > 0) {
            const qsizetype at = converted.size();
            converted.resize(at + qsizetype(data.output_frames_gen) * qsizetype(sizeof(short)));
            src_float_to_short_array(out.data(), reinterpret_cast<short*>(converted.data() + at),
                                     int(data.output_frames_gen));
        }
        data.data_in += data.input_frames_used;
        data.input_frames -= data.input_frames_used;
        // Done once the input is used up and, at the end, nothing more comes out.
        if (data.input_frames == 0 && (!last || data.output_frames_gen == 0))
            return converted;
    }
}
