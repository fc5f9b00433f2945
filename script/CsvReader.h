// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

// Reads RFC 4180 text into records. An unquoted empty field reads as a null QVariant and a
// quoted "" as the empty text, so nulls survive a trip through a text file.
class CsvReader {
public:
    struct Failure {
        int line = 0;
        QString reason;
    };

    // Returns false and fills `failure` when the text is not well-formed. `lines`, when given,
    // receives the line each record begins on, counted from 1 as a text editor counts them.
    static bool parse(const QString& text, QList<QVariantList>& records, Failure& failure,
                      QList<int>* lines = nullptr);
};
