#pragma once

#include "script/TableLayout.h"

#include <QString>
#include <map>
#include <memory>

class QTemporaryDir;
class ScriptTable;

// Builds the four files of a script in a hidden working folder inside the target folder and
// moves them into place only once all four are complete, so that a failure at any point
// leaves the target folder as it was. Throws ScriptError on every fault.
class ScriptBuilder {
public:
    enum class Existing { Refuse, Replace };

    // Creates `dir` when it is missing. With Refuse, fails at once when any of the four
    // files is already there, before anything is written.
    ScriptBuilder(QString dir, Existing existing);
    ~ScriptBuilder();
    ScriptBuilder(const ScriptBuilder&) = delete;
    ScriptBuilder& operator=(const ScriptBuilder&) = delete;

    // The new, initially empty table for `layout`.
    ScriptTable& table(const TableLayout& layout);
    // Moves the four files into the target folder (any not asked for is left empty).
    void commit();

    // The script files already present in `dir`, in the usual order.
    static QStringList existingFiles(const QString& dir);

private:
    void refuseFilesInUse() const;
    void moveIntoPlace(const QString& from, const QString& to, const QString& backup,
                       bool replace) const;

    QString m_dir;
    Existing m_existing;
    std::unique_ptr<QTemporaryDir> m_work;
    std::map<TableLayout::Kind, std::unique_ptr<ScriptTable>> m_tables;
};
