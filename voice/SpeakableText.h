// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// What an English voice can read of a shown line, in pieces it can start on quickly.
class SpeakableText {
public:
    // Accents and ligatures are spelled the English way; a line with no letter or digit has
    // its marks read by name, so that it is heard too. Empty when the line holds only
    // letters of a script the voice cannot read.
    static QString prepare(const QString& line);

    // Sentences, none longer than maxPiece characters and the first no longer than
    // firstPiece, cut where they must be at a clause, else a blank, else inside a word longer
    // than a piece: the first sound waits only for the first piece, and the rest is made
    // while it plays. No character but blanks is lost.
    static QStringList pieces(const QString& text, int firstPiece = 60, int maxPiece = 200);
};
