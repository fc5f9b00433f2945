// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Where a script lives: a folder holding the four files, or a schema on a PostgreSQL server
// named by a libpq connection URI ("postgresql://kiosk@host/museum?schema=veyrath").
//
// A URI may carry a password, because libpq accepts one there, but it is kept apart from
// everything that is ever shown: shown() masks it and no message repeats it. Parsing throws
// ScriptError naming the part of the URI that is wrong.
class ScriptLocation {
public:
    enum class Kind { Folder, Server };

    // The location a program was given: `--script` when set, else VEYRATH_SCRIPT, else ".".
    static QString chosen(const QString& optionValue);
    // Whether `text` is meant as a server address rather than a folder; says nothing of
    // whether it is a well-formed one.
    static bool isServer(const QString& text);
    static ScriptLocation parse(const QString& text);
    // Where the script at `text` is, as a summary names it: the server's address with its
    // password masked, or the folder's whole path as the person's system writes it.
    static QString whereShown(const QString& text);

    Kind kind() const { return m_kind; }
    const QString& folder() const { return m_folder; }
    // The location as it may be printed: a password in it is replaced by "***".
    const QString& shown() const { return m_shown; }
    const QString& schema() const { return m_schema; }
    const QString& password() const { return m_password; }
    // libpq's connection parameters, as its own parser read them, without the password.
    const QList<QPair<QString, QString>>& parameters() const { return m_parameters; }
    QString parameter(const QString& keyword) const;

    static QString defaultSchema() { return QStringLiteral("veyrath"); }

private:
    void parseServer(const QString& text);

    Kind m_kind = Kind::Folder;
    QString m_folder;
    QString m_shown;
    QString m_schema;
    QString m_password;
    QList<QPair<QString, QString>> m_parameters;
};
