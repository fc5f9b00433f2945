// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/Conversation.h"
#include "tests/support/FakeStage.h"
#include "tests/support/ScriptFixture.h"

#include <memory>

// A conversation over a fixture script (a folder unless told), played by a FakeStage.
struct Session {
    explicit Session(ScriptFixture::Store store = ScriptFixture::Store::Folder)
        : fx(store)
    {
    }

    ScriptFixture fx;
    FakeStage stage;
    std::unique_ptr<Conversation> conversation;

    Conversation& open()
    {
        conversation = std::make_unique<Conversation>(stage, stage, stage, stage, fx.dir());
        stage.attach(*conversation);
        conversation->Form_Load();
        return *conversation;
    }
    Module1& state() { return conversation->state(); }

    // Runs a procedure; true when the program ended inside it.
    template <typename Step> bool ends(Step step)
    {
        try {
            step();
            return false;
        } catch (const Conversation::Ended&) {
            return true;
        }
    }

    // Fills the line tables in memory as a full script would, "basic 1", "control 41", ...
    void fillLines()
    {
        for (int k = 1; k <= 22; ++k)
            state().BasicLines[k] = QStringLiteral("basic %1").arg(k);
        for (int k = 1; k <= 100; ++k)
            state().ControlLines[k] = QStringLiteral("control %1").arg(k);
        for (int k = 1; k <= 60; ++k)
            state().DoubleLines[k] = {QStringLiteral("first %1").arg(k),
                                      QStringLiteral("second %1").arg(k)};
    }
};
