#pragma once

#include "engine/SlotTable.h"

#include <QString>

struct LinePair {
    QString first;
    QString second;
};

// The runner's shared state: every step reads and writes these, under these names.
struct Module1 {
    QString UserName;
    qint16 UserAge = 0;
    QString BirthDate;
    QString CurrentLine;
    qint16 Reply = 0;
    qint16 PersistLevel = 0;
    QString PersistCode;
    SlotTable<QString, 22> BasicLines;
    SlotTable<LinePair, 60> DoubleLines;
    SlotTable<QString, 100> ControlLines;
    qint16 BlockIndex = 0;
    QString PairFirst;
    QString PairSecond;
    qint16 AskStyle = 0;
    QString RunState;
    qint16 NextStep = 0;
    qint16 YesCount = 0;
    qint16 AgainFlag = 0;
};
