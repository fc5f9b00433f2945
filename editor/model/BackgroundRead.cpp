// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/BackgroundRead.h"

#include "script/RecordStore.h"
#include "script/ScriptTable.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

BackgroundRead::BackgroundRead(const ScriptTable& table, QObject* parent)
    : QObject(parent)
{
    connect(&m_running, &QFutureWatcher<Result>::finished, this, &BackgroundRead::done);
    const QString dir = QFileInfo(table.path()).absolutePath();
    const TableLayout* layout = &table.layout();
    m_running.setFuture(QtConcurrent::run([dir, layout] {
        Result result;
        try {
            // A connection of this thread's own: the window's stays free for the window.
            const auto own = ScriptTable::open(dir, *layout, ScriptTable::Integrity::Deferred);
            result.ids = RecordStore(*own).ids(RecordStore::Order::ById);
            try {
                own->checkIntegrity();
            } catch (const ScriptError& error) {
                result.damage = error;
            }
        } catch (const ScriptError& error) {
            result.fault = error;
        }
        return result;
    }));
}

BackgroundRead::~BackgroundRead()
{
    m_running.waitForFinished();
}

BackgroundRead::Result BackgroundRead::take()
{
    m_running.waitForFinished();
    return m_running.result();
}
