// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Time from a line being handed to the runner's voice (as ShowLine, PromptLine and AskLine
// do when the line is shown) to its first sound, read at the sound server's output, for
// each engine: libflite, eSpeak NG, both in one line, and speech-dispatcher where it runs.
// scripts/run-benchmarks starts a private PulseAudio whose only sink writes into the FIFO
// given as the first argument, at the pace of the clock.
#include "bench/ProcessMemory.h"
#include "voice/SpeechVoice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
QElapsedTimer sinceStart;
std::atomic<qint64> lastLoudMs{-1};
std::atomic<qint64> firstLoudMs{-1}; // since the line was armed
std::atomic<bool> armed{false};

// Reads what the sound server plays: 16-bit samples, in blocks of a few milliseconds.
void listen(int fd)
{
    qint16 block[2048];
    for (;;) {
        const ssize_t got = read(fd, block, sizeof block);
        if (got <= 0)
            return;
        int loudest = 0;
        for (ssize_t i = 0; i < got / 2; ++i)
            loudest = std::max(loudest, std::abs(int(block[i])));
        if (loudest > 1000) {
            const qint64 now = sinceStart.elapsed();
            lastLoudMs = now;
            if (armed.exchange(false))
                firstLoudMs = now;
        }
    }
}

void waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || waited.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(2);
    loop.exec();
}

void waitForSilence()
{
    waitFor([] { return sinceStart.elapsed() - lastLoudMs > 1500; }, 120000);
}

QString longSentence()
{
    return u"This is a long sentence that a script author wrote without a single comma in it so "
           u"that the voice has to read every word of it from the first to the last before the "
           u"person at the screen can answer the question that follows it in the box just below "
           u"it now."_s;
}

QString germanSentence()
{
    return u"Dies ist ein langer Satz den eine Autorin ohne ein einziges Komma geschrieben hat "
           u"damit die Stimme jedes Wort vom ersten bis zum letzten lesen muss bevor die Person "
           u"am Bildschirm die Frage beantworten kann die gleich darunter im Fenster steht."_s;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_voice FIFO\n");
        return 2;
    }
    const int fd = open(argv[1], O_RDONLY);
    if (fd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    sinceStart.start();
    std::thread(listen, fd).detach();

    {
        const qint64 before = processMemoryKb("VmRSS");
        SpeechVoice voice;
        voice.start();
        // The engine is made while the person reads the window; the first line comes later.
        waitFor([] { return false; }, 3000);
        std::printf("The voice's own memory, made and ready: %.1f MiB resident\n\n",
                    double(processMemoryKb("VmRSS") - before) / 1024);
    }

    const QList<std::pair<const char*, QString>> english{
        {"a word", u"Hello."_s},
        {"the sample's greeting",
         u"Hello, and welcome. I am the Lumbrel Veyrath, a quiet companion for an unhurried "
         u"chat."_s},
        {"ten digits", u"1234567890"_s},
        {"one sentence of 255 characters", longSentence()},
        {"three long sentences", QStringList(3, longSentence()).join(u' ')},
    };
    const QList<std::pair<const char*, QString>> german{
        {"a word", u"Hallo."_s},
        {"a greeting", u"Grüß Gott und herzlich willkommen. Ich bin der Lumbrel Veyrath, ein "
                       u"ruhiger Begleiter für ein Gespräch ohne Eile."_s},
        {"ten digits", u"1234567890"_s},
        {"one long sentence", germanSentence()},
        {"three long sentences", QStringList(3, germanSentence()).join(u' ')},
    };
    const QList<std::pair<const char*, QString>> mixed{
        {"Cyrillic, then English", u"Москва is large."_s},
        {"English, then Han", u"Welcome to the museum, 欢迎来到博物馆。"_s},
    };
    struct Engine {
        const char* name;
        QString voice;
        QList<std::pair<const char*, QString>> lines;
    };
    QList<Engine> engines{{"libflite (slt)", u"slt"_s, english},
                          {"eSpeak NG (de)", u"de"_s, german},
                          {"both, by writing system (slt)", u"slt"_s, mixed}};
    // The desktop's service only where it is installed; without it the voices built in
    // would answer under its name.
    if (!QStandardPaths::findExecutable(u"speech-dispatcher"_s).isEmpty())
        engines << Engine{"speech-dispatcher (system)", u"system"_s, english};

    constexpr int runs = 5;
    std::printf("From a line handed to the voice to its first sound (%d runs):\n\n", runs);
    std::printf("| engine | line | characters | median | slowest |\n|---|---|---|---|---|\n");
    for (const Engine& engine : engines) {
        SpeechVoice speaking(VoiceSettings{engine.voice});
        speaking.start();
        waitFor([] { return false; }, 3000);
        for (const auto& [name, text] : engine.lines) {
            QList<qint64> delays;
            for (int run = 0; run < runs; ++run) {
                waitForSilence();
                firstLoudMs = -1;
                const qint64 start = sinceStart.elapsed();
                armed = true;
                speaking.speak(text);
                waitFor([] { return firstLoudMs >= 0; }, 10000);
                armed = false;
                if (firstLoudMs < 0) {
                    std::printf("| %s | %s | no sound within ten seconds |\n", engine.name, name);
                    return 1;
                }
                delays << firstLoudMs - start;
            }
            std::sort(delays.begin(), delays.end());
            std::printf("| %s | %s | %lld | %lld ms | %lld ms |\n", engine.name, name,
                        qint64(text.size()), delays.at(runs / 2), delays.last());
        }
        waitForSilence();
    }
    waitForSilence();
    std::fflush(stdout);
    std::_Exit(0); // the reading thread is blocked in read()
}
