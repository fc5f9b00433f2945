// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/SpeechEngine.h"
#include "voice/VoiceInfo.h"
#include "voice/VoiceSettings.h"

#include <QList>
#include <QObject>
#include <memory>

class QTextToSpeech;

// The platform's voice through QTextToSpeech.
class QtSpeechEngine final : public QObject, public SpeechEngine {
    Q_OBJECT

public:
    // Nothing when no engine is installed.
    static std::unique_ptr<SpeechEngine> create(const VoiceSettings& settings = {});
    static QList<VoiceInfo> voices();

    State state() const override;
    QString errorString() const override;
    void say(const QString& text) override;
    void stop() override;

private:
    QtSpeechEngine();
    QTextToSpeech* m_speech;
};
