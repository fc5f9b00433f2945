// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/CsvWriter.h"

#include "script/ScriptError.h"

#include <QIODevice>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr qsizetype blockSize = qsizetype(256) * 1024;
} // namespace

CsvWriter::CsvWriter(QIODevice& device, QString name)
    : m_device(device)
    , m_name(std::move(name))
{
    m_block.reserve(blockSize + 4096);
}

void CsvWriter::addMark()
{
    m_block += "\xEF\xBB\xBF";
}

void CsvWriter::addRecord(const QVariantList& values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            m_block += ',';
        const QVariant& value = values.at(i);
        if (value.isNull())
            continue;
        if (value.typeId() == QMetaType::QString) {
            const qsizetype start = m_block.size();
            m_block += '"';
            m_block += value.toString().toUtf8();
            // Only the text's own quotes are doubled: the one just written opens the field.
            if (m_block.indexOf('"', start + 1) >= 0) {
                QByteArray text = m_block.mid(start + 1);
                m_block.truncate(start + 1);
                m_block += text.replace('"', "\"\"");
            }
            m_block += '"';
        } else {
            m_block += value.toString().toUtf8();
        }
    }
    m_block += "\r\n";
    if (m_block.size() >= blockSize)
        finish();
}

void CsvWriter::finish()
{
    if (m_block.isEmpty())
        return;
    if (m_device.write(m_block) != m_block.size())
        throw ScriptError(m_name, m_device.errorString().isEmpty() ? u"the file cannot be written"_s
                                                                   : m_device.errorString());
    m_block.resize(0); // keeps its room for the next block
}
