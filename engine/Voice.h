// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Speaks without waiting: a text queued while another is spoken follows it.
class Voice {
public:
    virtual ~Voice() = default;
    virtual void speak(const QString& text) = 0;
};
