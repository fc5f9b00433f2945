// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

// The farewell window shown while the program ends through its menu; it has no behaviour.
class About : public QWidget {
    Q_OBJECT

public:
    explicit About(QWidget* parent = nullptr);
};
