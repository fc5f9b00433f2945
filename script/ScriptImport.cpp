#include "script/ScriptImport.h"

#include "script/CsvReader.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool isBlankLine(const QVariantList& record)
{
    return record.size() == 1 && record.first().isNull();
}

QVariant countValue(const QVariant& field, const QString& source, int record, const QString& column)
{
    if (field.isNull())
        return field;
    bool ok = false;
    const qint64 number = field.toString().trimmed().toLongLong(&ok);
    if (!ok)
        throw ScriptError(source, u"\"%1\" is not a whole number"_s.arg(field.toString()), record,
                          column);
    return number;
}

} // namespace

int ScriptImport::fromCsv(ScriptTable& table, const QString& csvText, const QString& sourceName)
{
    QList<QVariantList> records;
    CsvReader::Failure failure;
    if (!CsvReader::parse(csvText, records, failure))
        throw ScriptError(sourceName, u"line %1: %2"_s.arg(failure.line).arg(failure.reason));
    records.removeIf(isBlankLine);
    if (records.isEmpty())
        throw ScriptError(sourceName, u"there is no header row"_s);

    const QStringList& columns = table.layout().columns;
    const QVariantList header = records.takeFirst();
    QStringList names;
    for (const QVariant& name : header)
        names << name.toString();
    // Tables exported from elsewhere lead with their own key column; the new file numbers its
    // rows afresh, so that column is left out when all the others are the layout's.
    const bool leadingKey = names.size() == columns.size() + 1 && names.mid(1) == columns;
    if (leadingKey) {
        names.removeFirst();
        for (QVariantList& record : records) {
            if (record.size() == columns.size() + 1)
                record.removeFirst();
        }
    }
    if (names != columns)
        throw ScriptError(sourceName,
                          u"the header row names %1 but %2 needs %3"_s.arg(
                              u"\""_s + names.join(u"\", \""_s) + u"\""_s, table.fileName(),
                              u"\""_s + columns.join(u"\", \""_s) + u"\""_s));

    int count = 0;
    table.writeTransaction([&] {
        for (const QVariantList& record : records) {
            ++count;
            if (record.size() != columns.size())
                throw ScriptError(sourceName,
                                  u"it has %1 fields where %2 are needed"_s.arg(record.size())
                                      .arg(columns.size()),
                                  count);
            QVariantList values = record;
            for (qsizetype i = 0; i < columns.size(); ++i) {
                if (!table.layout().isTextColumn(columns.at(i)))
                    values[i] = countValue(record.at(i), sourceName, count, columns.at(i));
            }
            table.insertRow(values);
        }
    });
    return count;
}
