#pragma once

#include <QObject>
#include <QString>

// What the speech queue needs of a text-to-speech engine, so that it can be tested without
// a voice or a sound card.
class SpeechEngine : public QObject {
    Q_OBJECT

public:
    enum class State { Ready, Speaking, Error };

    using QObject::QObject;
    virtual State state() const = 0;
    virtual QString errorString() const = 0;
    virtual void say(const QString& text) = 0;
    virtual void stop() = 0;

Q_SIGNALS:
    void stateChanged(SpeechEngine::State state);
};
