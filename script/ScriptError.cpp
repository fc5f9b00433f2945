// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptError.h"

using namespace Qt::Literals::StringLiterals;

namespace {
QString compose(const QString& file, const QString& reason, int row, const QString& field,
                ScriptError::Place place)
{
    QString where = file;
    if (row > 0)
        where += (place == ScriptError::Place::Line ? QStringLiteral(", line %1")
                                                    : QStringLiteral(", row %1"))
                     .arg(row);
    if (!field.isEmpty())
        where += QStringLiteral(", field \"%1\"").arg(field);
    return where + QStringLiteral(": ") + reason;
}
} // namespace

ScriptError::ScriptError(QString file, QString reason, int row, QString field, Place place,
                         Kind kind)
    : std::runtime_error(compose(file, reason, row, field, place).toStdString())
    , m_file(std::move(file))
    , m_reason(std::move(reason))
    , m_row(row)
    , m_field(std::move(field))
    , m_place(place)
    , m_kind(kind)
{
}

QString ScriptError::message() const
{
    return compose(m_file, m_reason, m_row, m_field, m_place);
}

ScriptError ScriptError::alreadyThere(const QStringList& names, const QString& what,
                                      const QString& where, const QString& howToReplace)
{
    const QString hint = howToReplace.isEmpty() ? QString() : u" ("_s + howToReplace + u')';
    const QString found = names.size() == 1 ? u"the %1 already exists"_s.arg(what)
                                            : u"these %1s already exist"_s.arg(what);
    return {names.join(u", "_s),
            u"%1 in %2; no script %3 was written%4"_s.arg(found, where, what, hint)};
}
