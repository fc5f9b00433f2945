// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/CsvWriter.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {
QString quote(QString text)
{
    return u'"' + text.replace(u'"', u"\"\""_s) + u'"';
}
} // namespace

void CsvWriter::addHeader(const QStringList& names)
{
    QStringList fields;
    for (const QString& name : names)
        fields << quote(name);
    m_text += fields.join(u',') + u"\r\n"_s;
}

void CsvWriter::addRecord(const QVariantList& values)
{
    QStringList fields;
    for (const QVariant& value : values) {
        if (value.isNull())
            fields << QString();
        else if (value.typeId() == QMetaType::QString)
            fields << quote(value.toString());
        else
            fields << value.toString();
    }
    m_text += fields.join(u',') + u"\r\n"_s;
}
