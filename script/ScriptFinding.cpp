#include "script/ScriptFinding.h"

#include "script/ScriptError.h"

using namespace Qt::Literals::StringLiterals;

QString ScriptFinding::message() const
{
    // Worded exactly like a ScriptError so that the author reads one style of message.
    return (isError() ? u"error: "_s : u"warning: "_s) +
           ScriptError(file, reason, row, field).message();
}
