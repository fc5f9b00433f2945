// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <functional>

class ScriptFixture;

// Malformed and hostile files put where a script file belongs, each made by the test itself.
struct HostileFile {
    QString name;
    // Puts the file for basic.mdb into the fixture's folder (and whatever goes with it).
    std::function<void(const ScriptFixture&)> make;
    // Whether the programs can read it at all; those that cannot must say why.
    bool opens = false;
};

class HostileFiles {
public:
    static QList<HostileFile> all();
};
