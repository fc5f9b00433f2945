#pragma once

#include <QObject>
#include <QStringList>
#include <QTextToSpeech>
#include <QTimer>

// Says queued texts one after the other. QTextToSpeech::say() cuts off the text being
// spoken, so the next text waits for the engine to be Ready again, or for a watchdog when
// the engine never says so. When no engine works the queue falls silent and tells once why.
class SpeechQueue : public QObject {
    Q_OBJECT

public:
    explicit SpeechQueue(QObject* parent = nullptr);

    void createEngine();
    void enqueue(const QString& text);
    void shutdown();

private:
    void sayNext();
    void onStateChanged(QTextToSpeech::State state);
    void fallSilent(const QString& why);

    QTextToSpeech* m_engine = nullptr;
    QStringList m_pending;
    QTimer m_watchdog;
    bool m_speaking = false;
    bool m_silent = false;
};
