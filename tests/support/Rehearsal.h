// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/Conversation.h"
#include "tests/support/FakeStage.h"
#include "tests/support/FileLock.h"
#include "tests/support/ScriptFixture.h"

#include <memory>
#include <optional>

// A conversation over a script folder, or a schema of the test server, played from the
// conversation a test writes down. On a server, the transcript a test expects names each table
// as a folder does ("special.mdb"), and the rehearsal reads it with the server's names.
//
// The standard script's lines read "basic 1" to "basic 22", "control 1" to "control 100",
// the pairs "first k" and "second k"; its six special cases ask "case k?", then "case k
// prompt 1" to "case k prompt 4", and are counted 0.
class Rehearsal {
public:
    explicit Rehearsal(ScriptFixture::Store store = ScriptFixture::Store::Folder,
                       const QString& socket = ScriptFixture::serverSocket());
    ~Rehearsal();

    ScriptFixture fx;
    FakeStage stage;
    QString location; // where the runner finds its script: fx.dir() unless a test says

    void open(); // the window loads
    // Arranges the world as `changes` say, loads the window if it has not, makes the menu
    // choices `beats` begin with, presses Start, and plays the person's part of `beats` as
    // the runner asks for it. Changes, made before the window loads:
    //   "special: SQL; SQL"  statements run on that table
    //   "double: gone", "special: replaced"  the file taken away, or a copy put in its place
    //       (a folder only)
    //   "special: held", "special: held for writing", "special: held until a wait"  another
    //       program's lock: exclusive, a write transaction, or exclusive until the runner waits
    //       (on a server, a lock on the table that holds off readers too, or writers only)
    //   "clock: 23:59"  the local time
    //   "dice: 1; 1 2"  where the picks land (see FakeStage::dice)
    // and "special, meanwhile: ..." the same once the window has loaded.
    void play(const Beats& beats, const QStringList& changes = {});
    // Compares what happened with all that was played. An expected line ending in "…" takes
    // any line that begins with the same words; a last line "special.mdb counts: ..." is
    // compared with the counts in the file afterwards, in ID order ("1 0 null"), or "no file".
    void check() const;

private:
    void change(const QString& table, const QString& what);

    std::unique_ptr<Conversation> m_conversation;
    std::optional<FileLock> m_lock;
    QStringList m_expected;
};

// A data-driven test of conversations: conversationColumns() in its _data function, then a
// scenario() for each row, and playScenario() in the test itself, which plays the row in a
// fresh folder of the standard script and checks it. A scenario that must hold for a script on
// a server as well is written once with onBothStores(); SQL in its changes quotes the names
// it uses ("ID", "String"), as a server needs them quoted.
void conversationColumns();
void scenario(const char* name, const Beats& conversation, const QStringList& changes = {});
void onBothStores(const char* name, const Beats& conversation, const QStringList& changes = {});
void playScenario();

// The standard script's introduction, for a person who types `name` and `birthDate`.
Beats introduction(const QString& name = QStringLiteral("Ann"),
                   const QString& birthDate = QStringLiteral("1/1/1990"));
// Then the first question answered `answer`, and two Yes replies to going on, each with its
// repeat: the next Yes is the third, and a special case follows it.
Beats toTwoYes(const QString& answer = QStringLiteral("blue"));
