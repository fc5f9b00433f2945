// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QChar>
#include <QList>
#include <QString>

// The writing systems a voice may read, as Unicode sorts letters into them. Digits, marks,
// blanks and symbols belong to none: they are read with the letters around them.
class WritingSystem {
public:
    // QChar::Script_Common for what belongs to no writing system.
    static QChar::Script of(char32_t c);
    // The name a person knows it by ("Cyrillic"); empty for one no voice is known to read.
    static QString name(QChar::Script script);
    // The language whose voice best reads it where the chosen voice cannot ("ru" for
    // Cyrillic), as a BCP 47 tag; empty when none is known.
    static QString language(QChar::Script script);
    // The writing systems a voice for that language reads: "ru" Cyrillic, "ja" Hiragana and
    // Katakana, "fa-Latn" Latin. Empty when the language is not known.
    static QList<QChar::Script> readBy(const QString& language);
};
