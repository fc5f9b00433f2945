// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/LockPatience.h"

#include "script/ScriptTable.h"

#include <QSqlQuery>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

LockPatience::LockPatience(ScriptTable& table, qint64 milliseconds)
    : m_table(table)
{
    if (table.isOnServer()) {
        m_before = table.busyTimeout();
        table.setBusyTimeout(int(std::max<qint64>(1, milliseconds))); // 0 waits without end
        return;
    }
    QSqlQuery current = table.exec(u"PRAGMA busy_timeout"_s);
    m_before = current.next() ? current.value(0).toLongLong() : 0;
    table.exec(u"PRAGMA busy_timeout = %1"_s.arg(milliseconds));
}

LockPatience::~LockPatience()
{
    if (m_before < 0)
        return;
    // Not through exec(), which throws: a destructor must not.
    if (m_table.isOnServer())
        m_table.setBusyTimeout(int(m_before));
    else
        QSqlQuery(m_table.database()).exec(u"PRAGMA busy_timeout = %1"_s.arg(m_before));
}
