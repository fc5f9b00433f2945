// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// The button a person pressed in a message box, under the numbers the runner's boxes have
// always given: 1 OK, 6 Yes, 7 No; None before any box was answered.
enum class Reply : qint16 { None = 0, Ok = 1, Yes = 6, No = 7 };
