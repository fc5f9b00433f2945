// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// Whether the question loop runs (`RunState`). Start makes it Endless and nothing sets it
// back: a conversation ends by unwinding out of the loop, never by the loop's own test.
enum class RunState : qint16 { NotStarted = 0, Endless = 1 };
