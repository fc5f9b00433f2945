// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptFinding.h"

using namespace Qt::Literals::StringLiterals;

QString ScriptFinding::message() const
{
    QString where = file;
    if (row > 0 || !field.isEmpty())
        where += u':' + (row > 0 ? QString::number(row) : QString());
    if (!field.isEmpty())
        where += u':' + field;
    return where + (isError() ? u": error: "_s : u": warning: "_s) + reason;
}
