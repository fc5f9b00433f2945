// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

// A fault in a script database, told in words an author can act on: which file, which row
// (counted from 1 in the order the programs read them), which field, and what is wrong. In a
// text file such as a CSV file the place is a line instead, counted as a text editor does.
class ScriptError : public std::runtime_error {
public:
    enum class Place { Row, Line };
    enum class Kind {
        Fault,       // in the file or its contents
        Locked,      // another program holds the file for now; trying again later may succeed
        Unreachable, // the server does not answer for now; trying again later may succeed
        Full,        // the disk is full; trying again succeeds once space is freed
    };

    ScriptError(QString file, QString reason, int row = 0, QString field = {},
                Place place = Place::Row, Kind kind = Kind::Fault);
    ScriptError(QString file, QString reason, int row, QString field, Kind kind)
        : ScriptError(std::move(file), std::move(reason), row, std::move(field), Place::Row, kind)
    {
    }

    // The refusal to write a script over one already there: `names` are the files (or server
    // tables) found, `what` is "file" (or "table"), `where` is the folder (or server) as
    // shown, `howToReplace` an option that would replace them, or empty.
    static ScriptError alreadyThere(const QStringList& names, const QString& what,
                                    const QString& where, const QString& howToReplace);

    Kind kind() const { return m_kind; }
    bool isLocked() const { return m_kind == Kind::Locked; }
    // Whether the same work may succeed when tried again a little later.
    bool mayPass() const { return m_kind == Kind::Locked || m_kind == Kind::Unreachable; }

    const QString& file() const { return m_file; }
    int row() const { return m_row; }
    const QString& field() const { return m_field; }
    const QString& reason() const { return m_reason; }

    // "special.mdb, row 3, field "Yes": the count is not a whole number."
    QString message() const;

private:
    QString m_file;
    QString m_reason;
    int m_row;
    QString m_field;
    Place m_place;
    Kind m_kind;
};
