// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/LinePause.h"

int LinePause::seconds(qsizetype characters)
{
    qsizetype seconds = characters / 10;
    const qsizetype rest = characters % 10;
    if (rest > 5 || (rest == 5 && seconds % 2 == 1))
        ++seconds;
    return int(seconds);
}
