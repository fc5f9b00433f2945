#include "tools/ScriptCommands.h"

#include "script/ScriptBuilder.h"
#include "script/ScriptError.h"
#include "script/ScriptExport.h"
#include "script/ScriptImport.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The line of the first byte sequence that is not UTF-8, for a message the author can act on.
int firstBadLine(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString ignored = decoder.decode(lines.at(i));
        if (decoder.hasError())
            return int(i + 1);
    }
    return 0;
}

QString readUtf8(const QString& path, const QString& name)
{
    QFile file(path);
    if (!file.exists())
        throw ScriptError(
            name, u"the file was not found in %1"_s.arg(native(QFileInfo(path).absolutePath())));
    if (!file.open(QIODevice::ReadOnly))
        throw ScriptError(name, u"the file cannot be read (%1)"_s.arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw ScriptError(name, u"line %1 is not UTF-8 text; convert the file to UTF-8 first (for "
                                u"example with iconv)"_s.arg(firstBadLine(bytes)));
    return text;
}

void importFrom(const QString& dir, bool replace, const auto& csvFor)
{
    ScriptBuilder builder(dir, replace ? ScriptBuilder::Existing::Replace
                                       : ScriptBuilder::Existing::Refuse);
    for (const TableLayout* layout : TableLayout::all())
        csvFor(builder, *layout);
    builder.commit();
}

} // namespace

void ScriptCommands::init(const QString& dir)
{
    importFrom(dir, false,
               [](ScriptBuilder& builder, const TableLayout& layout) { builder.table(layout); });
}

void ScriptCommands::sample(const QString& dir)
{
    importFrom(dir, false, [](ScriptBuilder& builder, const TableLayout& layout) {
        const QString name = csvName(layout.caption);
        ScriptImport::fromCsv(builder.table(layout), readUtf8(u":/sample/"_s + name, name), name);
    });
}

int ScriptCommands::importCsv(const QString& source, const QString& dir, bool replace)
{
    // Read all four before anything is built, so that a missing file is told at once.
    QStringList texts;
    for (const TableLayout* layout : TableLayout::all()) {
        const QString name = csvName(layout->caption);
        texts << readUtf8(QDir(source).filePath(name), name);
    }
    int rows = 0;
    qsizetype next = 0;
    importFrom(dir, replace, [&](ScriptBuilder& builder, const TableLayout& layout) {
        rows +=
            ScriptImport::fromCsv(builder.table(layout), texts.at(next++), csvName(layout.caption));
    });
    return rows;
}

void ScriptCommands::exportCsv(const QString& dir, const QString& out, bool replace)
{
    QStringList texts;
    for (const TableLayout* layout : TableLayout::all())
        texts << ScriptExport::toCsv(*ScriptTable::open(dir, *layout));

    if (!QDir().mkpath(out))
        throw ScriptError(native(out), u"the folder cannot be created"_s);
    if (!replace) {
        for (const TableLayout* layout : TableLayout::all()) {
            const QString name = csvName(layout->caption);
            if (QFileInfo::exists(QDir(out).filePath(name)))
                throw ScriptError(name, u"the file already exists in %1; nothing was written "
                                        u"(--force replaces it)"_s.arg(native(out)));
        }
    }
    qsizetype next = 0;
    for (const TableLayout* layout : TableLayout::all()) {
        const QString name = csvName(layout->caption);
        QSaveFile file(QDir(out).filePath(name));
        const QByteArray bytes = texts.at(next++).toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw ScriptError(name, u"the file cannot be written in %1 (%2)"_s.arg(
                                        native(out), file.errorString()));
    }
}
