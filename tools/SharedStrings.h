// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QTemporaryFile>

class QIODevice;
class QXmlStreamReader;

// The table of texts a spreadsheet keeps once and its cells name by number. A sheet of a
// million rows saved by a spreadsheet program holds millions of them, so they are kept in
// temporary files rather than in memory, and read back one at a time as cells name them.
class SharedStrings {
public:
    SharedStrings();

    // Reads the table from the spreadsheet's sharedStrings.xml; returns the reason when it
    // cannot be read or kept, or an empty string.
    QString load(QIODevice& xml);
    qint64 size() const { return m_count; }
    // The text numbered `index`; a null QString when there is none or it cannot be read back.
    QString at(qint64 index);

    // Reads the text of a cell or a shared string, as `reader` stands on its opening tag: the
    // runs of text joined, phonetic hints left out, "_x000D_"-style characters decoded.
    static QString readText(QXmlStreamReader& reader);
    static QString decoded(const QString& text);

private:
    QTemporaryFile m_texts;
    QTemporaryFile m_ends; // where each text ends in m_texts, 8 bytes a text
    qint64 m_count = 0;
};
