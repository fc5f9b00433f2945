// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// How many follow-up prompts of a confirmed special case are asked. The value is the last
// field position asked, counting from position 4: Low asks one, Medium three, High four.
enum class Persistence : qint16 { Low = 4, Medium = 6, High = 7 };
