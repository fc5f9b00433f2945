// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/Module1.h"
#include "script/SpecialCases.h"

#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class Clock;
class Presenter;
class RandomSource;
class ScriptError;
class ScriptRow;
class ScriptTable;
class Voice;
struct TableLayout;

// The runner's conversation, free of widgets: the window's procedures under their own
// names, working on the shared state of Module1 and reaching the person only through the
// Presenter, the Voice, the Clock and the RandomSource.
//
// One class in three files: its events, presentation and ending in Conversation.cpp, the
// question cycle in ConversationSteps.cpp, the special-case step in ConversationSpecial.cpp.
//
// Ending the program is not a return value: a step that ends it (Exit during a pause, the
// farewell, a closed window) unwinds every procedure above it, and the handler the window
// called returns normally.
class Conversation : private Module1 {
public:
    Conversation(Presenter& presenter, Voice& voice, Clock& clock, RandomSource& random,
                 QString workingDir);
    ~Conversation();

    bool hasEnded() const { return m_ended; }

    // Window events.
    void Form_Load();
    void BUTTON_Click();
    void MNU_EXIT_Click();
    void MNU_HIGH_Click();
    void MNU_MEDIUM_Click();
    void MNU_LOW_Click();
    void Form_Closed();

    // Presentation; each speaks CurrentLine first.
    void ShowLine();
    void PromptLine();
    void AskLine();
    void Pause();
    void ComputeAge();

    void LoadData();
    void GetControlData();
    void GetDoubleData();
    void FirstLine();
    void NextLine();
    void GoAgain();
    void AnyMore();
    void Special();
    void Finish();
    void PersistCheck();

    // The window's own variables.
    QString Answer;
    double PauseSeconds = 0;

    // Thrown by a procedure when the program ended inside it; the window's handlers catch it.
    struct Ended {};

private:
    struct DataSource {
        const TableLayout* layout = nullptr;
        std::unique_ptr<ScriptTable> table;
        QString failure; // why the file could not be opened
        QString name;    // what messages call it: "basic.mdb", or "basic" on a server
        bool onServer = false;
    };

    void introduction();
    void questionLoop();
    void checkEnded() const;
    void endProgram();
    ::Reply message(const QString& prompt, BoxStyle style, const QString& title = {},
                    const QString& details = {});
    void loadTable(const DataSource& source,
                   const std::function<void(int, const ScriptRow&)>& store);
    // The first and next questions differ only in the blocks they draw from.
    void askShowAndPair(qint16 questionBlock, qint16 pairBlock);
    // Presents the last pair around the last answer: first, blank, answer, blank, second.
    void presentPair(BoxStyle style);
    int pickSlot(int capacity, const std::function<bool(int)>& isVacant);
    // Tells a fault of the script once a run; `consequence` says what the conversation does.
    void tellOnce(const QString& fault, const QString& consequence);
    void tellOnce(const QString& fault);
    DataSource openSource(const TableLayout& layout);
    // Opens again, without a word, the tables that could not be opened as the window loaded
    // (a server down then); LoadData and the special step tell what still fails.
    void reopenFailedSources();
    // Held while work reaches the script. A server's statement lets the window handle its
    // events meanwhile, Exit included; the tables then stay until the work is done.
    class Reaching {
    public:
        explicit Reaching(Conversation& conversation)
            : m_conversation(conversation)
        {
            ++m_conversation.m_reaching;
        }
        ~Reaching() { --m_conversation.m_reaching; }
        Reaching(const Reaching&) = delete;
        Reaching& operator=(const Reaching&) = delete;

    private:
        Conversation& m_conversation;
    };

    // The special step's parts. Each returns true when the walk is to go on to the next row.
    void openSpecialCases(std::unique_ptr<ScriptTable> table);
    std::optional<SpecialCases::Case> readSpecialCase(bool& unreadable);
    // The prompts of the row confirmed as `confirmed`; `fileHeld` when another program held
    // the file past the count's wait.
    bool askFollowUps(const SpecialCases::Case& confirmed, bool fileHeld);
    bool finishFollowUp();
    // Runs a statement on special.mdb again while another program holds the file or the
    // server is out of reach, waiting between tries with the window responsive, until it
    // succeeds or patience runs out.
    template <typename Statement> auto waitingOutLocks(Statement statement);

    Presenter& m_presenter;
    Voice& m_voice;
    Clock& m_clock;
    RandomSource& m_random;
    QString m_dir;

    DataSource Data1; // basic.mdb
    DataSource Data2; // double.mdb
    DataSource Data3; // control.mdb
    std::unique_ptr<SpecialCases> SpecialD;
    QString m_specialFailure;
    QSet<QString> m_told;
    bool m_askedSinceFirstRow = false;
    bool m_ended = false;
    bool m_loading = false;
    bool m_startPressedWhileLoading = false;
    int m_reaching = 0; // how deep in work that reaches the script
};
