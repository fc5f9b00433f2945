// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// What a message box carries, under the runner's old style numbers: an OK button (0), Yes
// and No (4), a warning (48) or an information icon (64) with an OK button.
enum class BoxStyle : qint16 { OkOnly = 0, YesNo = 4, Warning = 48, Information = 64 };
