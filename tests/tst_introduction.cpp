// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/Rehearsal.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

// From the window's loading to the first question: what is loaded and told, the introduction,
// how long a shown line stays, and the menu before and during it.
class TestIntroduction : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void conversation_data()
    {
        conversationColumns();
        const char* failed = "notice[]: Error during LoadData.";
        const Beats loaded = beats(introduction(), "input: control 41 | > x",
                                   "show: control 1 (1 s) | box: first 1 x second 1 | closed");
        const Beats unloaded = beats(introduction(), "input:  | > x | show:  | box:  x  | closed");
        const char* emptyLines = "show:  | show:  | show:  | show:  | show:  | show: ";

        scenario("the birth date is asked until it reads as a date",
                 beats("show: basic 1 (1 s) | input: basic 2 | > Ann | input: basic 3 | > 13/45/99",
                       "info[Information]: Please use format MM/DD/YY | input: basic 3 | > ",
                       "info[Information]: Please use format MM/DD/YY | input: basic 3",
                       "> 6/15/65", introduction().mid(1), "input: control 41 | closed"));
        scenario("an empty name is greeted with a leading blank",
                 beats(introduction(QString()), "input: control 41 | closed"));
        onBothStores("short tables load without a word", loaded,
                     {u"basic: DELETE FROM Table1 WHERE \"ID\" > 10"_s,
                      u"double: DELETE FROM Table1 WHERE \"ID\" > 7"_s,
                      u"control: DELETE FROM Table1 WHERE \"ID\" > 90"_s});
        onBothStores("a table past its rows stops the loading, keeping what it held",
                     beats(failed,
                           "details: double.mdb, row 61: there are more rows than the 60 the "
                           "runner can hold",
                           introduction(),
                           "input:  | > x | show:  | box: first 1 x second 1 | closed"),
                     {u"double: INSERT INTO Table1 (\"Description\") VALUES ('x')"_s});
        scenario("basic past its rows keeps 22",
                 beats(failed, "details: basic.mdb, row 23…", unloaded),
                 {u"basic: INSERT INTO Table1 (Purpose, String) VALUES ('x', 'x')"_s});
        scenario("control past its rows keeps 100",
                 beats(failed, "details: control.mdb, row 101…", loaded),
                 {u"control: INSERT INTO Table1 (Description) VALUES ('x')"_s});
        onBothStores("an empty table stops the loading",
                     beats(failed, "details: double.mdb: the table has no rows", unloaded),
                     {u"double: DELETE FROM Table1"_s});
        onBothStores("a null line stops the loading at its row",
                     beats(failed,
                           "details: basic.mdb, row 5, field \"String\": the field is empty "
                           "(null); it must hold a text, even an empty one",
                           introduction().constFirst(), "show: Ann basic 4 (1 s)", emptyLines,
                           unloaded.last()),
                     {u"basic: UPDATE Table1 SET \"String\" = NULL WHERE \"ID\" = 5"_s});
        scenario("missing files are told as the window loads, and again at Start",
                 beats("warning[]: basic.mdb: the file was not found…",
                       "warning[]: double.mdb: the file was not found…",
                       "warning[]: control.mdb: the file was not found…",
                       "warning[]: special.mdb: the file was not found…", failed,
                       "details: basic.mdb: the file could not be opened (the file was not found…",
                       "show:  | input:  | > Bo | input:  | > 1/1/1990 | show: Bo ", emptyLines,
                       "input:  | closed"),
                 {u"basic: gone"_s, u"double: gone"_s, u"control: gone"_s, u"special: gone"_s});

        // A shown line stays a tenth of a second a character, rounded half to even; a line
        // of under six characters does not wait at all.
        const QList<std::pair<int, int>> pauses{{0, 0},  {5, 0},  {6, 1},  {14, 1}, {15, 2},
                                                {25, 2}, {26, 3}, {34, 3}, {35, 4}, {45, 4},
                                                {46, 5}, {54, 5}, {55, 6}, {65, 6}, {255, 26}};
        for (const auto& [characters, seconds] : pauses) {
            const QString line(characters, u'x');
            scenario(qPrintable(u"a line of %1 characters"_s.arg(characters)),
                     beats(u"show: "_s + line + (seconds ? u" (%1 s)"_s.arg(seconds) : QString()),
                           "input: basic 2 | closed"),
                     {u"basic: UPDATE Table1 SET String = '%1' WHERE ID = 1"_s.arg(line)});
        }

        scenario("Exit during a pause ends the conversation there",
                 beats("show: basic 1 (1 s)", Exit{}, "about | pause: 10 | about hidden | closed"));
        scenario("Exit before Start shows the farewell for ten seconds",
                 beats(Exit{}, "about | pause: 10 | about hidden | closed"));
        scenario("the menu marks the level last chosen",
                 beats(Persistence::High, "marked: High", Persistence::Low, "marked: Low",
                       Persistence::Low, "marked: Low", Persistence::High, "marked: High",
                       "show: basic 1 (1 s) | input: basic 2 | closed"));
    }
    void conversation() { playScenario(); }
};

QTEST_GUILESS_MAIN(TestIntroduction)
#include "tst_introduction.moc"
