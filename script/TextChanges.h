// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Changes to many text fields of one file, each with its row ID, its field and its text before
// and after. A replacement over a large script holds one for every field it changed for as
// long as the author may undo it, so they are kept packed: a few bytes beside the texts, which
// are held in UTF-8 as the file holds them.
class TextChanges {
public:
    // Which way a change is written: forward from `before` to `after`, or back.
    enum class Way { Forward, Back };

    void append(qint64 id, int column, const QString& before, const QString& after);
    qsizetype size() const { return m_ids.size(); }
    bool isEmpty() const { return m_ids.isEmpty(); }

    qint64 id(qsizetype at) const { return m_ids.at(at); }
    int column(qsizetype at) const { return m_columns.at(at) & columnMask; }
    QString before(qsizetype at) const { return text(2 * at); }
    QString after(qsizetype at) const { return text(2 * at + 1); }
    // What the field holds before the change is written the given way, and after it.
    QString from(qsizetype at, Way way) const
    {
        return way == Way::Forward ? before(at) : after(at);
    }
    QString to(qsizetype at, Way way) const { return way == Way::Forward ? after(at) : before(at); }

    // The changes from `first` up to `end` without those at `left` (positions in ascending
    // order), packed afresh.
    TextChanges part(qsizetype first, qsizetype end, const QList<qsizetype>& left = {}) const;

private:
    static constexpr quint8 columnMask = 0x3f;
    // Set when a text is held as UTF-16: one that UTF-8 would not give back as it was.
    static constexpr quint8 beforeRaw = 0x40;
    static constexpr quint8 afterRaw = 0x80;

    void appendText(const QString& text, quint8& flags, quint8 raw);
    QString text(qsizetype index) const;

    QList<qint64> m_ids;
    QList<quint8> m_columns; // with the two flags above
    QList<quint32> m_ends;   // where each text ends in m_texts: before, after, before, ...
    QByteArray m_texts;
};
