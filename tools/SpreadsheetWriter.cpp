// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/SpreadsheetWriter.h"

#include "script/ScriptError.h"
#include "script/TableLayout.h"
#include "tools/SheetWriter.h"

#include <QFile>
#include <xlsxwriter.h>

using namespace Qt::Literals::StringLiterals;

SpreadsheetWriter::SpreadsheetWriter(const QString& path, const QString& scratchDir)
    : m_path(QFile::encodeName(path))
    , m_scratch(QFile::encodeName(scratchDir))
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_scratch.data();
    m_book = workbook_new_opt(m_path.constData(), &options);
    if (!m_book)
        throw ScriptError(QFile::decodeName(m_path), u"the spreadsheet cannot be started"_s);
}

SpreadsheetWriter::~SpreadsheetWriter()
{
    if (m_book)
        lxw_workbook_free(m_book);
}

RecordSink& SpreadsheetWriter::addSheet(const TableLayout& layout)
{
    lxw_worksheet* sheet = workbook_add_worksheet(m_book, layout.caption.toUtf8().constData());
    if (!sheet)
        throw ScriptError(layout.fileName, u"no sheet can be added for it"_s);
    SheetWriter::Formats formats{workbook_add_format(m_book), workbook_add_format(m_book)};
    // "@" is the spreadsheet's own "Text" format: what is typed into such a cell stays as typed.
    format_set_num_format(formats.text, "@");
    format_set_num_format(formats.header, "@");
    format_set_bold(formats.header);
    return m_sheets.emplace_back(sheet, formats, layout.fileName);
}

QString SpreadsheetWriter::close()
{
    const lxw_error error = workbook_close(m_book);
    m_book = nullptr; // freed by the close, whatever it returned
    return error == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(error));
}
