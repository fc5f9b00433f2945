// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

// One line of the display as a screen reader is told of it: a notification holding the line
// as a label. It is never drawn; the display draws the line.
class AnnouncedLine final : public QWidget {
    Q_OBJECT

public:
    AnnouncedLine(const QString& line, QWidget* parent);
};
