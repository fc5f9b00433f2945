// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// A voice an engine offers, as the person choosing one sees it.
struct VoiceInfo {
    QString name;
    QString description;
};
