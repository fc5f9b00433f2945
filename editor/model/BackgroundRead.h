// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "script/ScriptError.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <optional>

class ScriptTable;

// What opening leaves of a large file until its first rows show: the rest of its row list and
// the read of every page for damage, done on a connection and a thread of their own, so that
// the window takes every click and key meanwhile.
class BackgroundRead : public QObject {
    Q_OBJECT

public:
    struct Result {
        QList<qint64> ids;                 // every row ID, in ID order
        std::optional<ScriptError> fault;  // the list could not be read
        std::optional<ScriptError> damage; // what the read of every page found
    };

    // Starts reading the file `table` has open.
    explicit BackgroundRead(const ScriptTable& table, QObject* parent = nullptr);
    // Waits for the read, which cannot be stopped halfway.
    ~BackgroundRead() override;

    // What was read; waits for it while the read goes on.
    Result take();

Q_SIGNALS:
    // The read is over; take() returns at once.
    void done();

private:
    QFutureWatcher<Result> m_running;
};
