// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <libpq-fe.h>

// The few libpq functions the programs call themselves, found when a script on a server is
// first used. Loading libpq (and the TLS and Kerberos libraries it brings) only then keeps
// the start of a program on a script folder as quick as it was; Qt's PostgreSQL driver,
// which depends on libpq, is what installs it.
class Libpq {
public:
    // nullptr when libpq is not installed.
    static const Libpq* get();
    // What to tell when it is not.
    static const char* missing();

    PQconninfoOption* (*conninfoParse)(const char*, char**) = nullptr;
    void (*conninfoFree)(PQconninfoOption*) = nullptr;
    void (*freemem)(void*) = nullptr;
    PGPing (*pingParams)(const char* const*, const char* const*, int) = nullptr;
    ConnStatusType (*status)(const PGconn*) = nullptr;
};
