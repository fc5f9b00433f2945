// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/TextChanges.h"

#include <algorithm>
#include <cstring>

void TextChanges::appendText(const QString& text, quint8& flags, quint8 raw)
{
    // A lone surrogate read from a damaged text would come back from UTF-8 as U+FFFD, and
    // the compared write would then take the field for one changed elsewhere.
    if (text.isValidUtf16()) {
        m_texts += text.toUtf8();
    } else {
        flags |= raw;
        m_texts.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }
    m_ends << quint32(m_texts.size());
}

void TextChanges::append(qint64 id, int column, const QString& before, const QString& after)
{
    quint8 flags = quint8(column) & columnMask;
    appendText(before, flags, beforeRaw);
    appendText(after, flags, afterRaw);
    m_ids << id;
    m_columns << flags;
}

QString TextChanges::text(qsizetype index) const
{
    const qsizetype start = index == 0 ? 0 : m_ends.at(index - 1);
    const qsizetype length = m_ends.at(index) - start;
    const bool raw = m_columns.at(index / 2) & (index % 2 == 0 ? beforeRaw : afterRaw);
    if (raw) {
        // Copied, as the bytes need not lie on a boundary a QChar may be read from.
        QString result(length / 2, Qt::Uninitialized);
        std::memcpy(result.data(), m_texts.constData() + start, size_t(length / 2) * 2);
        return result;
    }
    return QString::fromUtf8(m_texts.constData() + start, length);
}

TextChanges TextChanges::part(qsizetype first, qsizetype end, const QList<qsizetype>& left) const
{
    TextChanges result;
    auto skip = std::lower_bound(left.cbegin(), left.cend(), first);
    for (qsizetype at = first; at < end; ++at) {
        if (skip != left.cend() && *skip == at) {
            ++skip;
            continue;
        }
        result.append(id(at), column(at), before(at), after(at));
    }
    // Packed to its size, so that what is kept for undo holds no room to spare.
    result.m_ids.squeeze();
    result.m_columns.squeeze();
    result.m_ends.squeeze();
    result.m_texts.squeeze();
    return result;
}
