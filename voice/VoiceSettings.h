// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// How the runner speaks, chosen on its command line for one run; nothing keeps it.
struct VoiceSettings {
    QString voice;       // empty: the engine's default voice
    double rate = 1.0;   // a factor of the voice's normal speed
    double volume = 1.0; // 0 (silent) to 1 (full)
};
