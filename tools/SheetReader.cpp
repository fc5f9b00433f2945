// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/SheetReader.h"

#include "tools/SharedStrings.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// A sheet's columns run from A to XFD.
constexpr int columnCount = 16384;

// "C12" names the third column; -1 for what names none.
int columnOf(QStringView reference)
{
    int column = 0;
    qsizetype letters = 0;
    for (const QChar c : reference) {
        if (c < u'A' || c > u'z' || (c > u'Z' && c < u'a'))
            break;
        column = column * 26 + (c.toUpper().unicode() - u'A' + 1);
        if (++letters > 3)
            return -1;
    }
    return letters > 0 && column <= columnCount ? column - 1 : -1;
}

QString columnName(int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

} // namespace

SheetReader::SheetReader(std::unique_ptr<QIODevice> part, SharedStrings& strings, QString name)
    : m_part(std::move(part))
    , m_xml(m_part.get())
    , m_strings(strings)
    , m_name(std::move(name))
{
}

void SheetReader::fail(const QString& reason) const
{
    throw ScriptError(m_name, reason, m_reading, {}, ScriptError::Place::Row);
}

QVariant SheetReader::readCell(int& column)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    if (const QStringView reference = attributes.value(u"r"_s); !reference.isEmpty())
        column = columnOf(reference);
    if (column < 0 || column >= columnCount)
        fail(u"a cell of this row names no column of a sheet (\"%1\")"_s.arg(
            attributes.value(u"r"_s)));
    const QString type = attributes.value(u"t"_s).toString();
    QString value;
    bool hasValue = false;
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"v") {
            value = m_xml.readElementText();
            hasValue = true;
        } else if (m_xml.name() == u"is") {
            value = SharedStrings::readText(m_xml);
            hasValue = true;
        } else {
            m_xml.skipCurrentElement(); // a formula: its value is what counts
        }
    }
    if (type == u"inlineStr"_s)
        return hasValue ? QVariant(value.isNull() ? u""_s : value) : QVariant();
    if (type == u"str"_s) // a formula's text, such as the empty text of =""
        return {value.isNull() ? u""_s : SharedStrings::decoded(value)};
    if (!hasValue)
        return {};
    if (type == u"s"_s) {
        bool ok = false;
        const qint64 index = value.toLongLong(&ok);
        if (!ok || index < 0 || index >= m_strings.size())
            fail(u"cell %1%2 names text %3, which the file does not hold"_s.arg(columnName(column))
                     .arg(m_reading)
                     .arg(value));
        const QString text = m_strings.at(index);
        if (text.isNull())
            fail(u"cell %1%2: its text %3 cannot be read back"_s.arg(columnName(column))
                     .arg(m_reading)
                     .arg(value));
        return text;
    }
    if (type == u"e"_s)
        fail(u"cell %1%2 holds the error %3; put a value in it"_s.arg(columnName(column))
                 .arg(m_reading)
                 .arg(value));
    if (type == u"b"_s)
        return value == u"1"_s ? u"TRUE"_s : u"FALSE"_s;
    return value; // a number or a date, as the file writes it
}

bool SheetReader::readRow(QVariantList& fields)
{
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (!m_xml.isStartElement() || m_xml.name() != u"row")
            continue;
        bool ok = false;
        const int number = m_xml.attributes().value(u"r"_s).toInt(&ok);
        m_reading = ok ? number : m_reading + 1;
        fields.clear();
        bool anyValue = false;
        int column = -1;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"c") {
                m_xml.skipCurrentElement();
                continue;
            }
            ++column;
            QVariant value = readCell(column);
            if (value.isNull())
                continue;
            if (m_width >= 0 && column >= m_width)
                fail(u"cell %1%2 holds a value right of the header's last field"_s
                         .arg(columnName(column))
                         .arg(m_reading));
            if (column >= fields.size())
                fields.resize(column + 1);
            fields[column] = std::move(value);
            anyValue = true;
        }
        if (anyValue)
            return true;
    }
    if (m_xml.hasError())
        fail(u"the sheet cannot be read (%1)"_s.arg(m_xml.errorString()));
    return false;
}

bool SheetReader::next(QVariantList& fields)
{
    if (!m_waiting) {
        if (!readRow(m_next))
            return false;
        m_waiting = true;
    }
    // A row the sheet leaves out, or holds empty, between rows with values is a row of nulls:
    // every row keeps its place, as the runner gives rows their roles by place.
    if (m_width >= 0 && m_reading > m_row + 1) {
        ++m_row;
        fields = QVariantList(m_width);
        return true;
    }
    fields = std::move(m_next);
    m_waiting = false;
    m_row = m_reading;
    if (m_width < 0)
        m_width = fields.size();
    fields.resize(m_width);
    return true;
}
