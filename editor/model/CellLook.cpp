// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/model/CellLook.h"

#include <QBrush>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

using namespace Qt::Literals::StringLiterals;

QString CellLook::nullText()
{
    return u"NULL"_s;
}

QString CellLook::unsavedMark()
{
    return u"\u270E"_s;
}

QString CellLook::quoted(const QVariant& value)
{
    if (value.isNull())
        return nullText();
    constexpr int longest = 120;
    const QString text = value.toString();
    return u"\"%1\""_s.arg(text.size() > longest ? text.left(longest - 1) + u'\u2026' : text);
}

QVariant CellLook::cell(int role, const QVariant& value, bool unsaved,
                        const std::optional<QVariant>& theirs)
{
    switch (role) {
    case NullRole:
        return value.isNull();
    case Qt::DisplayRole:
        return value.isNull() ? nullText() : value.toString();
    case Qt::EditRole:
        return value.isNull() ? QString() : value.toString();
    case Qt::FontRole:
        if (value.isNull()) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        return {};
    case Qt::ForegroundRole:
        if (value.isNull())
            return QGuiApplication::palette().brush(QPalette::PlaceholderText);
        return {};
    case Qt::BackgroundRole:
        return unsaved ? QBrush(QColor(255, 200, 0, 80)) : QVariant();
    case Qt::ToolTipRole:
        if (unsaved && theirs)
            return u"Not saved: another program wrote %1 here since you began."_s.arg(
                quoted(*theirs));
        return unsaved ? u"Not saved yet"_s : QVariant();
    default:
        return {};
    }
}

QVariant CellLook::selector(int role, int number, bool unsaved)
{
    // What a screen reader reads is what the selector shows; the current row's mark is drawn.
    if (role == Qt::DisplayRole)
        return unsaved ? u"%1 %2"_s.arg(unsavedMark()).arg(number) : QString::number(number);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (unsaved && role == Qt::ToolTipRole)
        return u"Not saved yet"_s;
    return {};
}
