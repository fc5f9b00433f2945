// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/Tab.h"

#include "script/TableLayout.h"

const TableLayout& Tabs::layout(Tab tab)
{
    switch (tab) {
    case Tab::Basic:
        return TableLayout::basic();
    case Tab::Control:
        return TableLayout::control();
    case Tab::Double:
        return TableLayout::doubles();
    case Tab::Special:
        break;
    }
    return TableLayout::special();
}

std::optional<Tab> Tabs::ofFile(const QString& fileName)
{
    for (Tab tab : all) {
        if (layout(tab).fileName == fileName)
            return tab;
    }
    return std::nullopt;
}
