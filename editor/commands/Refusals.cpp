// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/Refusals.h"

using namespace Qt::Literals::StringLiterals;

void Refusals::add(const std::function<QString()>& describe)
{
    if (++m_count <= named)
        m_named << describe();
}

QString Refusals::message(const QString& heading) const
{
    QStringList lines = m_named;
    if (m_count > named)
        lines << u"... and %1 more."_s.arg(m_count - named);
    return heading + lines.join(u'\n');
}
