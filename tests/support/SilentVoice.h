// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/Voice.h"

#include <QStringList>

// Says nothing, and keeps what it was given to say: a window's voice in tests without sound.
struct SilentVoice final : Voice {
    QStringList said;
    void speak(const QString& text) override { said << text; }
};
