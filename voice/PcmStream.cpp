// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/PcmStream.h"

#include <cstring>

PcmStream::PcmStream(QObject* parent)
    : QIODevice(parent)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void PcmStream::append(const QByteArray& samples)
{
    if (samples.isEmpty())
        return;
    // What was played is let go before the array grows again.
    if (m_read > 0 && m_read >= m_samples.size() / 2) {
        m_samples.remove(0, m_read);
        m_read = 0;
    }
    m_samples += samples;
    Q_EMIT readyRead();
}

void PcmStream::clear()
{
    m_samples.clear();
    m_read = 0;
}

qint64 PcmStream::bytesAvailable() const
{
    return m_samples.size() - m_read + QIODevice::bytesAvailable();
}

qint64 PcmStream::readData(char* data, qint64 maxSize)
{
    const qint64 size = qMin<qint64>(maxSize, m_samples.size() - m_read);
    std::memcpy(data, m_samples.constData() + m_read, size_t(size));
    m_read += size;
    return size;
}

qint64 PcmStream::writeData(const char*, qint64)
{
    return -1;
}
