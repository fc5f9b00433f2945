// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/VoiceSettings.h"

#include <QString>
#include <variant>

// The command line both programs take: --script (or VEYRATH_SCRIPT), the voice options,
// --help and --version. Read before any window system is needed, so that these answer where
// there is no display, and a wrong value ends the run there.
struct ProgramOptions {
    VoiceSettings voice;
    QString script; // an absolute folder or a server address

    // What differs between the programs: the description --help gives, and the example of
    // a server address in the help of --script.
    struct Texts {
        QString description;
        QString scriptUse;     // "The script to play", "The script to edit"
        QString serverExample; // postgresql://kiosk@host/museum
    };
    // The options, or the exit status of a run that ends here. A script that cannot be meant
    // is told here; one that is merely missing or down is told in the window.
    static std::variant<ProgramOptions, int> read(const Texts& texts);
};
