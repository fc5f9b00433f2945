// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

// What a server announces of the changes other programs commit to a script's tables: each
// table's trigger notifies the schema's channel, and the connection that listens turns every
// notice into changed(), on the thread the connection is used in.
class ServerNotices : public QObject {
    Q_OBJECT

Q_SIGNALS:
    // Another program committed a change to a row of `table` ("special").
    void changed(const QString& table);
};
