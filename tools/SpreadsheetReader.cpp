// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/SpreadsheetReader.h"

#include "script/ScriptError.h"
#include "tools/SheetReader.h"

#include <QFileInfo>
#include <QXmlStreamReader>

using namespace Qt::Literals::StringLiterals;

namespace {

// A relationship's target, as a path inside the file: relative to the folder of the part that
// names it, or from the file's root when it begins with a slash.
QString resolved(const QString& part, const QString& target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    const QString folder = part.section(u'/', 0, -2);
    QStringList path = folder.isEmpty() ? QStringList() : folder.split(u'/');
    for (const QString& step : target.split(u'/')) {
        if (step == u".."_s && !path.isEmpty())
            path.removeLast();
        else if (step != u"."_s && step != u".."_s)
            path << step;
    }
    return path.join(u'/');
}

// Where the relationships of a part are kept: "xl/workbook.xml" has "xl/_rels/workbook.xml.rels".
QString relationsOf(const QString& part)
{
    const QString folder = part.section(u'/', 0, -2);
    return (folder.isEmpty() ? QString() : folder + u'/') + u"_rels/"_s + part.section(u'/', -1) +
           u".rels"_s;
}

} // namespace

QString SpreadsheetReader::relatedOfType(const QMap<QString, Relation>& relations,
                                         const QString& typeEnd)
{
    for (const Relation& relation : relations) {
        if (relation.type.endsWith(typeEnd))
            return relation.target;
    }
    return {};
}

SpreadsheetReader::SpreadsheetReader(const QString& path)
    : m_name(QFileInfo(path).fileName())
    , m_zip(path)
{
    if (!m_zip.isOpen())
        throw ScriptError(m_name, QFileInfo::exists(path)
                                      ? u"the file is not a spreadsheet (.xlsx) that can be read"_s
                                      : u"the file was not found"_s);
    // The document's own relationships name its workbook; files from most programs hold it
    // at the usual place.
    QString workbook = relatedOfType(relations(QString()), u"/officeDocument"_s);
    if (workbook.isEmpty())
        workbook = u"xl/workbook.xml"_s;
    const QMap<QString, Relation> related = relations(workbook);
    readPart(workbook, [&](QXmlStreamReader& xml) {
        if (xml.name() != u"sheet")
            return;
        // r:id, whichever of the two relationship namespaces the file was saved with.
        QString id;
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                id = attribute.value().toString();
        }
        if (related.contains(id))
            m_parts.insert(xml.attributes().value(u"name"_s).toString(), related.value(id).target);
    });
    const QString strings = relatedOfType(related, u"/sharedStrings"_s);
    if (strings.isEmpty() || !m_zip.contains(strings))
        return; // a file whose texts all stand in their cells
    const auto file = m_zip.open(strings);
    if (!file)
        throw ScriptError(m_name, u"its table of texts cannot be read"_s);
    if (const QString problem = m_strings.load(*file); !problem.isEmpty())
        throw ScriptError(m_name, u"its table of texts cannot be read (%1)"_s.arg(problem));
}

SpreadsheetReader::~SpreadsheetReader() = default;

QMap<QString, SpreadsheetReader::Relation> SpreadsheetReader::relations(const QString& part)
{
    QMap<QString, Relation> targets;
    const QString rels = relationsOf(part);
    if (!m_zip.contains(rels))
        return targets;
    readPart(rels, [&](QXmlStreamReader& xml) {
        if (xml.name() == u"Relationship" && xml.attributes().value(u"TargetMode"_s) != u"External")
            targets.insert(
                xml.attributes().value(u"Id"_s).toString(),
                Relation{xml.attributes().value(u"Type"_s).toString(),
                         resolved(part, xml.attributes().value(u"Target"_s).toString())});
    });
    return targets;
}

void SpreadsheetReader::readPart(const QString& part,
                                 const std::function<void(QXmlStreamReader&)>& handle)
{
    if (!m_zip.contains(part))
        throw ScriptError(m_name, u"the spreadsheet lacks its part %1"_s.arg(part));
    const auto file = m_zip.open(part);
    if (!file)
        throw ScriptError(m_name, u"its part %1 cannot be read"_s.arg(part));
    QXmlStreamReader xml(file.get());
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement())
            handle(xml);
    }
    if (xml.hasError())
        throw ScriptError(m_name,
                          u"its part %1 cannot be read (%2)"_s.arg(part, xml.errorString()));
}

std::unique_ptr<QIODevice> SpreadsheetReader::openSheet(const QString& sheet) const
{
    auto part = m_zip.open(m_parts.value(sheet));
    if (!part)
        throw ScriptError(m_name, u"there is no sheet named \"%1\" in it"_s.arg(sheet));
    return part;
}

std::unique_ptr<RecordSource> SpreadsheetReader::sheet(const QString& sheet)
{
    return std::make_unique<SheetReader>(openSheet(sheet), m_strings,
                                         u"%1, sheet %2"_s.arg(m_name, sheet));
}

int SpreadsheetReader::lastRow(const QString& sheet)
{
    const auto part = openSheet(sheet);
    static const QByteArray rowStart = "<row r=\"";
    int last = 0;
    QByteArray rest; // the end of the last block, where a row's tag may begin
    for (;;) {
        const QByteArray block = part->read(qint64(1) << 20);
        if (block.isEmpty())
            break;
        rest += block;
        for (qsizetype at = rest.indexOf(rowStart); at >= 0; at = rest.indexOf(rowStart, at + 1)) {
            const qsizetype end = rest.indexOf('"', at + rowStart.size());
            if (end < 0)
                break;
            last = rest.mid(at + rowStart.size(), end - at - rowStart.size()).toInt();
        }
        rest = rest.right(64);
    }
    return rest.trimmed().endsWith("</worksheet>") ? last : -1;
}
