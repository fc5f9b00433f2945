// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/BoxStyle.h"
#include "engine/Persistence.h"
#include "engine/Reply.h"
#include "engine/RunState.h"
#include "engine/SlotTable.h"
#include "engine/Step.h"

#include <QString>

struct LinePair {
    QString first;
    QString second;
};

// The runner's shared state, under the names its procedures have always used: every step
// reads and writes these. (The name is the old code module's that held them.)
struct Module1 {
    using BasicTable = SlotTable<QString, 22>;
    using DoubleTable = SlotTable<LinePair, 60>;
    using ControlTable = SlotTable<QString, 100>;

    QString UserName;
    qint16 UserAge = 0;
    QString BirthDate;
    QString CurrentLine; // what the next ShowLine, PromptLine or AskLine presents
    ::Reply Reply = ::Reply::None;
    ::Persistence PersistLevel = ::Persistence::Medium;
    BasicTable BasicLines; // by role, see BasicRow
    DoubleTable DoubleLines;
    ControlTable ControlLines;
    qint16 BlockIndex = 0; // the block the next pick draws from, see PickRules
    QString PairFirst;
    QString PairSecond;
    BoxStyle AskStyle = BoxStyle::OkOnly;
    ::RunState RunState = ::RunState::NotStarted;
    Step NextStep = Step::None;
    qint16 YesCount = 0;  // Yes replies to the go-on question since the last reset
    qint16 AgainFlag = 0; // 1 once a repeat has drawn since the last typed answer

    // The level's letter, by which the menu places its mark. It is worked out from the level
    // rather than kept beside it, so that the mark and the prompts asked never disagree.
    QString PersistCode() const
    {
        switch (PersistLevel) {
        case ::Persistence::High:
            return QStringLiteral("H");
        case ::Persistence::Medium:
            return QStringLiteral("M");
        case ::Persistence::Low:
            return QStringLiteral("L");
        }
        return {};
    }
};
