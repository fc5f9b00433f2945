// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/Libpq.h"

#include <QLibrary>

namespace {
template <typename Function> bool resolve(QLibrary& library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

Libpq* load()
{
    static QLibrary library(QStringLiteral("pq"), 5);
    static Libpq functions;
    const bool found = library.load() &&
                       resolve(library, "PQconninfoParse", functions.conninfoParse) &&
                       resolve(library, "PQconninfoFree", functions.conninfoFree) &&
                       resolve(library, "PQfreemem", functions.freemem) &&
                       resolve(library, "PQpingParams", functions.pingParams) &&
                       resolve(library, "PQstatus", functions.status);
    return found ? &functions : nullptr;
}
} // namespace

const Libpq* Libpq::get()
{
    static const Libpq* const loaded = load();
    return loaded;
}

const char* Libpq::missing()
{
    return "libpq, the PostgreSQL client library, is not installed, so a script on a server "
           "cannot be opened; install the package libqt6sql6-psql, which brings it";
}
