// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDir>
#include <QString>

// A path as the person's own system writes it, for messages: they copy it into a file
// manager or a shell, so it must look like the paths they type there.
inline QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}
