// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/SheetWriter.h"

#include "script/ScriptError.h"
#include "script/TableLayout.h"

#include <QRegularExpression>
#include <xlsxwriter.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Spreadsheets show a number to 15 digits and keep no more through a save; a larger count
// goes as text, which the import reads back whole.
constexpr qint64 largestExactCount = 999'999'999'999'999;
// The longest text a spreadsheet cell holds.
constexpr int longestCellText = 32'767;

// A spreadsheet reads "_x000D_" in a cell's text as the character it names; a text that holds
// such a sequence itself has its underscore written so, and a carriage return, which XML
// would turn into a line feed, is written as the sequence.
QString escaped(const QString& text)
{
    if (!text.contains(u"_x"_s) && !text.contains(u'\r'))
        return text;
    static const QRegularExpression sequence(u"_(x[0-9A-Fa-f]{4}_)"_s);
    return QString(text).replace(sequence, u"_x005F_\\1"_s).replace(u'\r', u"_x000D_"_s);
}

} // namespace

SheetWriter::SheetWriter(lxw_worksheet* sheet, Formats formats, QString name)
    : m_sheet(sheet)
    , m_formats(formats)
    , m_name(std::move(name))
{
}

void SheetWriter::check(int error, int column, const QString& text) const
{
    if (error == LXW_NO_ERROR)
        return;
    const QString field = m_header.value(column);
    if (error == LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE)
        throw ScriptError(m_name, u"the table has more rows than a sheet holds (%1 after the "
                                  u"header); export it as CSV instead"_s.arg(LXW_ROW_MAX - 1));
    if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        throw ScriptError(m_name,
                          u"the text has %1 characters, more than a spreadsheet cell holds "
                          u"(%2); export the script as CSV instead"_s.arg(text.size())
                              .arg(longestCellText),
                          int(m_row), field);
    throw ScriptError(m_name, QString::fromUtf8(lxw_strerror(lxw_error(error))), int(m_row), field);
}

void SheetWriter::writeText(int column, const QString& text, lxw_format* format)
{
    if (text.isEmpty()) {
        check(worksheet_write_formula_str(m_sheet, m_row, lxw_col_t(column), "=\"\"", format, ""),
              column);
        return;
    }
    const QByteArray utf8 = escaped(text).toUtf8();
    check(worksheet_write_string(m_sheet, m_row, lxw_col_t(column), utf8.constData(), format),
          column, text);
}

void SheetWriter::addRecord(const QVariantList& values)
{
    if (m_row == 0) {
        for (qsizetype c = 0; c < values.size(); ++c) {
            m_header << values.at(c).toString();
            const bool text = m_header.last() != TableLayout::countColumn();
            check(worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), text ? 40 : 10,
                                       text ? m_formats.text : nullptr),
                  int(c));
            writeText(int(c), m_header.last(), m_formats.header);
        }
        worksheet_freeze_panes(m_sheet, 1, 0);
        ++m_row;
        return;
    }
    if (m_row >= LXW_ROW_MAX)
        check(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE, 0);
    for (qsizetype c = 0; c < values.size(); ++c) {
        const QVariant& value = values.at(c);
        if (value.isNull())
            continue;
        const auto type = value.typeId();
        const bool whole = type == QMetaType::LongLong || type == QMetaType::Int;
        if (whole && qAbs(value.toLongLong()) <= largestExactCount)
            check(worksheet_write_number(m_sheet, m_row, lxw_col_t(c), value.toDouble(), nullptr),
                  int(c));
        else
            writeText(int(c), value.toString(), m_formats.text);
        m_lastWithValue = m_row;
    }
    ++m_row;
}

void SheetWriter::finish()
{
    if (m_row > 1 && m_lastWithValue < m_row - 1)
        throw ScriptError(m_name,
                          u"every field of this row and of those after it is null, and a sheet "
                          u"keeps no empty rows at its end; put a text into the row, delete "
                          u"it, or export the script as CSV"_s,
                          int(m_lastWithValue + 1));
}
