// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

class VoiceCatalog;

// Which voice says which part of a line. The chosen voice says what is written in a writing
// system it reads; a run in another ("Москва" in an English line) goes to a voice for that
// writing system, in the order written. Digits, blanks and marks go with the run they stand
// in.
class LinePlan {
public:
    struct Run {
        QString voice;
        QString text;
        bool operator==(const Run&) const = default;
    };
    struct Plan {
        QList<Run> runs;
        // Runs no installed voice reads, which are left out: each with the name of its
        // writing system (empty when it has none known).
        QList<Run> unread;
    };

    LinePlan(const VoiceCatalog& catalog, QString mainVoice);
    Plan plan(const QString& line) const;

private:
    const VoiceCatalog& m_catalog;
    QString m_main;
    QString m_english;
};
