// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/LockPatience.h"

#include "script/ScriptError.h"
#include "script/ScriptTable.h"

#include <algorithm>
#include <limits>

LockPatience::LockPatience(ScriptTable& table, qint64 milliseconds)
    : m_table(table)
    , m_before(table.busyTimeout())
{
    table.setBusyTimeout(int(std::min<qint64>(milliseconds, std::numeric_limits<int>::max())));
}

LockPatience::~LockPatience()
{
    try {
        m_table.setBusyTimeout(m_before);
    } catch (const ScriptError&) {
        // A destructor must not throw; the next statement meets the same fault and says so.
    }
}
