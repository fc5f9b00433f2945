// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/grid/BlockRule.h"

#include "editor/model/RecordModel.h"
#include "script/PickRules.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

bool BlockRule::endsBlock(const QModelIndex& index)
{
    const auto* model = qobject_cast<const RecordModel*>(index.model());
    if (!model || PickRules::blockCount(model->layout()) == 0)
        return false;
    // Slots are places in ID order, the order the runner reads; these tables are never sorted.
    const int number = model->rows().number(index.row());
    return number > 0 && number % PickRules::blockSize == 0 && number < model->rowCount();
}

void BlockRule::paint(QPainter* painter, const QRect& rect)
{
    constexpr int thickness = 2;
    painter->fillRect(rect.left(), rect.bottom() - thickness + 1, rect.width(), thickness,
                      QGuiApplication::palette().color(QPalette::Text));
}
