#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <chrono>
#include <functional>
#include <memory>

class About;
class QPushButton;
class QTabWidget;
class RecordModel;
class ScriptGrid;
struct TableLayout;

// The editor's window: one tab per script file in the working folder, each with its grid,
// and on the special-case tab the commands Add, Delete, Update and Sort.
//
// Every fault reaches the author here, through one messenger, in the words of the model.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    using Messenger = std::function<void(const QString& message)>;

    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Replaces the modal message box, for tests.
    void setMessenger(Messenger messenger) { m_messenger = std::move(messenger); }
    // How long About stays before the program ends through the menu.
    void setFarewellTime(std::chrono::milliseconds time) { m_farewellTime = time; }
    // What ends the program; quitting the application unless replaced.
    void setEnding(std::function<void()> end) { m_end = std::move(end); }

    RecordModel* model(int tab) const { return m_models.at(tab); }
    ScriptGrid* grid(int tab) const { return m_grids.at(tab); }
    About* about() const { return m_about.get(); }

    // Saves the edit pending in every grid; the author is told of each that fails.
    bool saveAll();

public Q_SLOTS:
    void exitProgram();
    void addRecord();
    void deleteRecord();
    void updateRecord();
    void sortRecords();

Q_SIGNALS:
    void ending();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildPage(int tab, const TableLayout& layout, const QString& dir);
    QWidget* buildCommands();
    void tell(const QString& message);
    void updateCommands();
    void waitFarewell();

    QTabWidget* m_tabs = nullptr;
    std::array<RecordModel*, 4> m_models{};
    std::array<ScriptGrid*, 4> m_grids{};
    std::array<QPushButton*, 4> m_commands{};
    std::unique_ptr<About> m_about;
    Messenger m_messenger;
    std::function<void()> m_end;
    std::chrono::milliseconds m_farewellTime{10000};
    bool m_ending = false;
    bool m_holdMessages = false;
    QStringList m_heldMessages;
};
