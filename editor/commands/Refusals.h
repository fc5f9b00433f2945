// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Why a command that changes many cells at once changed none: the first few cells that refuse
// their value, each named with file, row and field, and how many more there are. The author
// mends those and tries again, rather than reading a list as long as the script.
class Refusals {
public:
    // Counts one more cell; `describe` is asked for its message only while cells are named.
    void add(const std::function<QString()>& describe);
    bool isEmpty() const { return m_count == 0; }
    // `heading`, then one refusal a line, ending with how many were left unnamed.
    QString message(const QString& heading) const;

    static constexpr int named = 5;

private:
    QStringList m_named;
    int m_count = 0;
};
