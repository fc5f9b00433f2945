// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/DesktopSpeechEngine.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <cstdlib>

extern "C" {
#include <libspeechd.h>
}

using namespace Qt::Literals::StringLiterals;

struct DesktopSpeechEngine::Connection {
    SPDConnection* spd;
};

namespace {
// Which engine each connection's events belong to, for the callbacks, which carry no
// pointer of their own and come on libspeechd's thread.
struct Registry {
    QMutex lock;
    QHash<int, DesktopSpeechEngine*> engines;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}
} // namespace

std::unique_ptr<SpeechEngine> DesktopSpeechEngine::connect(const VoiceSettings& settings,
                                                           QString& why)
{
    char* error = nullptr;
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    // Started if it is not running, as a desktop starts it for its first client.
    SPDConnection* connection =
        spd_open2(name.constData(), "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
    if (!connection) {
        why = error ? QString::fromLocal8Bit(error).simplified() : u"it did not answer"_s;
        std::free(error);
        return nullptr;
    }
    std::free(error);
    std::unique_ptr<DesktopSpeechEngine> engine(
        new DesktopSpeechEngine(std::make_unique<Connection>(Connection{connection})));
    // The service's own scales run from -100 to 100; the person's settings there stay as they
    // are unless an option asks otherwise.
    if (settings.rate != 1.0)
        spd_set_voice_rate(connection,
                           std::clamp(int(std::lround(50 * std::log2(settings.rate))), -100, 100));
    if (settings.volume != 1.0)
        spd_set_volume(connection, int(std::lround(200 * settings.volume - 100)));
    return engine;
}

DesktopSpeechEngine::DesktopSpeechEngine(std::unique_ptr<Connection> connection)
    : m_connection(std::move(connection))
    , m_client(spd_get_client_id(m_connection->spd))
{
    {
        QMutexLocker lock(&registry().lock);
        registry().engines.insert(m_client, this);
    }
    const auto event = [](size_t message, size_t client, SPDNotificationType type) {
        onEvent(message, client, int(type));
    };
    m_connection->spd->callback_end = event;
    m_connection->spd->callback_cancel = event;
    spd_set_notification_on(m_connection->spd, SPD_END);
    spd_set_notification_on(m_connection->spd, SPD_CANCEL);
}

DesktopSpeechEngine::~DesktopSpeechEngine()
{
    {
        QMutexLocker lock(&registry().lock);
        registry().engines.remove(m_client);
    }
    spd_cancel(m_connection->spd);
    spd_close(m_connection->spd);
}

void DesktopSpeechEngine::onEvent(size_t message, size_t client, int)
{
    QMutexLocker lock(&registry().lock);
    // Alive while it is in the table; dropped on the way if it goes meanwhile.
    if (DesktopSpeechEngine* engine = registry().engines.value(int(client)))
        QMetaObject::invokeMethod(engine, [engine = QPointer(engine), message] {
            if (engine)
                engine->ended(int(message));
        });
}

void DesktopSpeechEngine::say(const QString& text)
{
    // Priority "message", the one screen readers use: messages of it never cut each other
    // off but wait their turn, so neither a line nor what Orca says is lost.
    m_message = spd_say(m_connection->spd, SPD_MESSAGE, text.toUtf8().constData());
    if (m_message < 0) {
        m_error = u"the desktop's speech service did not take the line"_s;
        become(State::Error);
        return;
    }
    become(State::Speaking);
}

void DesktopSpeechEngine::stop()
{
    m_message = -1;
    spd_cancel(m_connection->spd);
    if (m_state == State::Speaking)
        become(State::Ready);
}

void DesktopSpeechEngine::ended(int message)
{
    if (message != m_message || m_state != State::Speaking)
        return;
    m_message = -1;
    become(State::Ready);
}

void DesktopSpeechEngine::become(State state)
{
    m_state = state;
    notify(state);
}
