// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QIODevice>

// Sound waiting to be played, which the sound output pulls as it needs it. Running dry is
// not the end: more may be appended, and the output is told so by readyRead.
class PcmStream final : public QIODevice {
    Q_OBJECT

public:
    explicit PcmStream(QObject* parent = nullptr);

    void append(const QByteArray& samples);
    // Drops what has not been played yet.
    void clear();

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    QByteArray m_samples;
    qsizetype m_read = 0;
};
