// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "voice/VoiceInfo.h"
#include "voice/VoiceSettings.h"

#include <QCommandLineOption>
#include <QList>
#include <functional>

class QCommandLineParser;

// The options that choose the voice for one run, the runner's and the editor's alike:
// --list-voices, --voice, --rate and --volume.
class VoiceOptions {
public:
    // Adds the options to the parser.
    explicit VoiceOptions(QCommandLineParser& parser);

    bool listRequested() const;
    // What the options chose, with error empty, or a sentence that says what is wrong with
    // them. The voices are asked for only when a voice is named.
    struct Choice {
        VoiceSettings settings;
        QString error;
    };
    Choice choice(const std::function<QList<VoiceInfo>()>& voices) const;

    // The voices, one a line, as --list-voices prints them: name, language, engine, the
    // writing systems it reads, and the default marked.
    static QString listing(const QList<VoiceInfo>& voices);
    // Prints the listing of `voices` (which also says why some are missing) for
    // --list-voices, and gives the program's exit status.
    static int printList(const std::function<QList<VoiceInfo>(QString* note)>& voices);

private:
    const QCommandLineParser& m_parser;
    QCommandLineOption m_list;
    QCommandLineOption m_voice;
    QCommandLineOption m_rate;
    QCommandLineOption m_volume;
};
