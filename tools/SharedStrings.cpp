// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/SharedStrings.h"

#include <QDir>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace Qt::Literals::StringLiterals;

SharedStrings::SharedStrings()
    : m_texts(QDir::temp().filePath(u"veyrath-texts-XXXXXX"_s))
    , m_ends(QDir::temp().filePath(u"veyrath-ends-XXXXXX"_s))
{
}

QString SharedStrings::decoded(const QString& text)
{
    if (!text.contains(u"_x"_s))
        return text;
    static const QRegularExpression sequence(u"_x([0-9A-Fa-f]{4})_"_s);
    QString result;
    qsizetype from = 0;
    for (auto it = sequence.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(text).mid(from, match.capturedStart() - from);
        result += QChar(char16_t(match.captured(1).toUShort(nullptr, 16)));
        from = match.capturedEnd();
    }
    return result.append(QStringView(text).mid(from));
}

QString SharedStrings::readText(QXmlStreamReader& reader)
{
    QString text;
    const QString element = reader.name().toString();
    int skipping = 0; // inside a phonetic hint, whose text is no part of the cell's
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (reader.name() == u"rPh")
                ++skipping;
            else if (reader.name() == u"t" && skipping == 0)
                text += reader.readElementText();
        } else if (reader.isEndElement()) {
            if (reader.name() == u"rPh")
                --skipping;
            else if (reader.name() == element)
                break;
        }
    }
    return decoded(text);
}

QString SharedStrings::load(QIODevice& xml)
{
    if (!m_texts.open() || !m_ends.open())
        return u"no temporary file can be made for its texts (%1)"_s.arg(m_texts.errorString());
    QXmlStreamReader reader(&xml);
    qint64 end = 0;
    QByteArray ends;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != u"si")
            continue;
        const QByteArray text = readText(reader).toUtf8();
        end += text.size();
        ends.append(reinterpret_cast<const char*>(&end), sizeof end);
        if (m_texts.write(text) != text.size())
            return u"its texts cannot be kept aside (%1)"_s.arg(m_texts.errorString());
        if (ends.size() >= 65536) {
            if (m_ends.write(ends) != ends.size())
                return u"its texts cannot be kept aside (%1)"_s.arg(m_ends.errorString());
            ends.clear();
        }
        ++m_count;
    }
    if (reader.hasError())
        return reader.errorString();
    if (m_ends.write(ends) != ends.size() || !m_texts.flush() || !m_ends.flush())
        return u"its texts cannot be kept aside (%1)"_s.arg(m_texts.errorString());
    return {};
}

QString SharedStrings::at(qint64 index)
{
    if (index < 0 || index >= m_count)
        return {};
    qint64 bounds[2] = {0, 0};
    const qint64 offset = index == 0 ? 0 : (index - 1) * qint64(sizeof(qint64));
    char* into = reinterpret_cast<char*>(index == 0 ? &bounds[1] : &bounds[0]);
    const qint64 wanted = index == 0 ? qint64(sizeof(qint64)) : qint64(sizeof bounds);
    if (!m_ends.seek(offset) || m_ends.read(into, wanted) != wanted)
        return {};
    const qint64 length = bounds[1] - bounds[0];
    if (!m_texts.seek(bounds[0]))
        return {};
    const QByteArray text = m_texts.read(length);
    // A short read would hand back a cut text as if it were the whole cell.
    if (text.size() != length)
        return {};
    // Not a null QString: the empty text is a text.
    return text.isEmpty() ? u""_s : QString::fromUtf8(text);
}
