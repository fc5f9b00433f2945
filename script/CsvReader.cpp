// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/CsvReader.h"

#include <QFileDevice>
#include <QUtf8StringView>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 chunk = qint64(64) * 1024;

} // namespace

QString CsvReader::semicolonsReason()
{
    return u"the fields are separated by semicolons, but a script's CSV files separate them by "
           u"commas; save the file again with the field delimiter \",\" (in LibreOffice: File > "
           u"Save As, Text CSV, \"Edit filter settings\")"_s;
}

CsvReader::CsvReader(QIODevice& device, QString name)
    : m_device(device)
    , m_name(std::move(name))
{
}

bool CsvReader::more()
{
    if (m_pos < m_buffer.size())
        return true;
    if (m_ended)
        return false;
    m_buffer = m_device.read(chunk);
    m_pos = 0;
    if (m_buffer.isEmpty()) {
        const auto* file = qobject_cast<const QFileDevice*>(&m_device);
        if (file && file->error() != QFileDevice::NoError)
            throw ScriptError(m_name,
                              u"the file cannot be read (%1)"_s.arg(m_device.errorString()));
        m_ended = true;
        return false;
    }
    if (!m_started) {
        m_started = true;
        if (m_buffer.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
        return more();
    }
    return true;
}

QVariant CsvReader::takeField(bool quoted)
{
    QVariant value;
    if (m_field.isEmpty()) {
        // A cleared QString is null, and the SQL driver binds a null QString as NULL; the
        // quoted "" must arrive as a real empty text.
        if (quoted)
            value = QVariant(u""_s);
    } else {
        QString text = QString::fromUtf8(m_field);
        // A replacement character is either in the text or stands for bytes that were no
        // UTF-8; only then is the field looked at closely.
        if (text.contains(QChar::ReplacementCharacter) && !QUtf8StringView(m_field).isValidUtf8())
            value = QVariant(m_field);
        else
            value = QVariant(text);
    }
    m_field.resize(0); // keeps its room for the next field
    return value;
}

bool CsvReader::next(QVariantList& fields)
{
    fields.clear();
    bool quoted = false;   // the current field began with a quote
    bool inQuotes = false; // inside its quotes
    bool fieldStarted = false;
    m_recordLine = m_line;

    while (more()) {
        const char* const data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        if (inQuotes) {
            // The text up to the next quote is the field's, line breaks and all.
            const qsizetype from = m_pos;
            while (m_pos < size && data[m_pos] != '"')
                ++m_pos;
            m_field.append(data + from, m_pos - from);
            m_line += int(std::count(data + from, data + m_pos, '\n'));
            if (m_pos == size)
                continue;
            ++m_pos;
            if (more() && m_buffer.at(m_pos) == '"') {
                m_field += '"';
                ++m_pos;
            } else {
                inQuotes = false;
            }
            continue;
        }
        const char c = data[m_pos++];
        if (c == ',') {
            fields << takeField(quoted);
            quoted = false;
            fieldStarted = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && more() && m_buffer.at(m_pos) == '\n')
                ++m_pos;
            fields << takeField(quoted);
            ++m_line;
            return true;
        } else if (c == '"') {
            if (quoted || !m_field.isEmpty())
                throw ScriptError(m_name,
                                  u"a quote stands inside a field that does not begin with one"_s,
                                  m_line, {}, ScriptError::Place::Line);
            quoted = inQuotes = true;
        } else {
            if (quoted)
                throw ScriptError(m_name,
                                  c == ';' ? semicolonsReason()
                                           : u"text follows the closing quote of a field"_s,
                                  m_line, {}, ScriptError::Place::Line);
            // The rest of an unquoted field, up to what ends it.
            const qsizetype from = m_pos - 1;
            while (m_pos < size && data[m_pos] != ',' && data[m_pos] != '\r' &&
                   data[m_pos] != '\n' && data[m_pos] != '"')
                ++m_pos;
            m_field.append(data + from, m_pos - from);
        }
    }
    if (inQuotes)
        throw ScriptError(m_name, u"a quoted field is never closed"_s, m_recordLine, {},
                          ScriptError::Place::Line);
    if (quoted || !m_field.isEmpty() || fieldStarted) {
        fields << takeField(quoted);
        return true;
    }
    return false;
}
