// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QWidget>

class AnnouncedLine;

// Tells a screen reader of each line the display shows, as it is shown, so that a person who
// does not see the screen hears it (or reads it in braille) without moving there.
//
// Qt has no call to make a screen reader speak, so each line becomes a notification that
// appears inside a status bar: Orca speaks such a notification as it appears, without its role
// name, and keeps it in its list of notifications. The status bar is hidden: the display
// shows the line, and a screen reader's review of the window reads it there.
class LineAnnouncer final : public QWidget {
    Q_OBJECT

public:
    explicit LineAnnouncer(QWidget* parent);

    // Announces `line`, also when it is the line announced last: it is shown again.
    void announce(const QString& line);

private:
    // A screen reader asks for a line's text after it is told of it, so the last few stay;
    // older ones go, so an endless conversation keeps no more.
    static constexpr int kept = 8;
    QList<AnnouncedLine*> m_lines;
};
