// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/PickRules.h"

#include "script/TableLayout.h"

using namespace Qt::Literals::StringLiterals;

QString PickRules::markerColumn(const TableLayout& layout)
{
    switch (layout.kind) {
    case TableLayout::Kind::Control:
        return u"String"_s;
    case TableLayout::Kind::Double:
        return u"String  #1"_s;
    case TableLayout::Kind::Basic:
    case TableLayout::Kind::Special:
        break;
    }
    return {};
}

int PickRules::blockCount(const TableLayout& layout)
{
    return markerColumn(layout).isEmpty() ? 0 : layout.capacity / blockSize;
}
