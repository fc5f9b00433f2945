#pragma once

#include <QString>

class ScriptTable;

// Carries the rows of a CSV text (header row of field names, no ID) into a script table.
class ScriptImport {
public:
    // Appends every record in one transaction and returns how many there were. A fault
    // is thrown as ScriptError naming `sourceName`, the record and the column, and leaves
    // the table as it was.
    static int fromCsv(ScriptTable& table, const QString& csvText, const QString& sourceName);
};
