// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

class ScriptTable;

// How long statements on the table wait for another program's lock, for as long as this
// lives.
class LockPatience {
public:
    LockPatience(ScriptTable& table, qint64 milliseconds);
    ~LockPatience();
    LockPatience(const LockPatience&) = delete;
    LockPatience& operator=(const LockPatience&) = delete;

private:
    ScriptTable& m_table;
    int m_before;
};
