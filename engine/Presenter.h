#pragma once

#include <QString>

// Everything the conversation shows or asks goes through here, so that a window presents it
// to a person and a test answers it from a script.
class Presenter {
public:
    // Message-box styles and the replies they give.
    enum Style : int { OkOnly = 0, YesNo = 4, Warning = 48, Information = 64 };
    enum Reply : int { Ok = 1, Yes = 6, No = 7 };

    virtual ~Presenter() = default;

    // The large text of the window.
    virtual void display(const QString& line) = 0;
    // A modal input box with an empty default; empty when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title) = 0;
    // A modal message box; an empty title means the application's title. `details` adds
    // words for the author (file, row, field) below the fixed text.
    virtual int messageBox(const QString& prompt, int style, const QString& title,
                           const QString& details = {}) = 0;

    virtual void hideStartButton() = 0;
    virtual void setMenuChecked(const QString& item, bool checked) = 0;
    virtual void showAbout() = 0;
    virtual void hideAbout() = 0;
    // Closes the window and leaves every event loop; the conversation unwinds by itself.
    virtual void closeProgram() = 0;
};
