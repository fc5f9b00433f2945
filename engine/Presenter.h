// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/BoxStyle.h"
#include "engine/Persistence.h"
#include "engine/Reply.h"

#include <QString>
#include <optional>

// Everything the conversation shows or asks goes through here, so that a window presents it
// to a person and a test answers it from a script.
class Presenter {
public:
    virtual ~Presenter() = default;

    // The large text of the window.
    virtual void display(const QString& line) = 0;
    // A modal input box with an empty default; empty when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title) = 0;
    // A modal message box; an empty title means the application's title. `details` adds
    // words for the author (file, row, field) below the fixed text. A box closed without
    // a button gives No when it asked Yes or No, OK otherwise.
    virtual Reply messageBox(const QString& prompt, BoxStyle style, const QString& title,
                             const QString& details = {}) = 0;

    virtual void hideStartButton() = 0;
    // Marks the chosen persistence level in the window's menu; none when nullopt.
    virtual void showPersistence(std::optional<Persistence> level) = 0;
    virtual void showAbout() = 0;
    virtual void hideAbout() = 0;
    // Closes the window and leaves every event loop; the conversation unwinds by itself.
    virtual void closeProgram() = 0;
};
