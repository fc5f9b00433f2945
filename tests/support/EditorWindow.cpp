// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/EditorWindow.h"

#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "script/TableLayout.h"
#include "tests/support/ScriptFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

EditorWindow::EditorWindow(const ScriptFixture& fx)
    : form(std::make_unique<Form1>(dialogs, fx.dir()))
{
    QObject::connect(form.get(), &Form1::programEnded, form.get(), [this] { ++endings; });
    form->setFarewellTime(std::chrono::milliseconds(0));
    form->show();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::trigger(const QString& action) const
{
    auto* found = form->findChild<QAction*>(action);
    QVERIFY2(found, qPrintable(action));
    found->trigger();
}

QLineEdit* EditorWindow::type(ScriptGrid* into, int row, int column, const QString& text) const
{
    const QModelIndex cell = into->model()->index(row, column);
    into->setCurrentIndex(cell);
    into->edit(cell);
    // An editor closed earlier may linger, hidden, until the event loop deletes it.
    QLineEdit* editor = nullptr;
    for (auto* open : into->viewport()->findChildren<QLineEdit*>()) {
        if (!open->isHidden())
            editor = open;
    }
    if (editor && !text.isNull())
        editor->setText(text);
    return editor;
}

QLineEdit* EditorWindow::type(Tab tab, int row, const QString& field, const QString& text) const
{
    return type(form->grid(tab), row, column(tab, field), text);
}

int EditorWindow::column(Tab tab, const QString& field)
{
    const auto column = int(Tabs::layout(tab).columns.indexOf(field));
    if (column < 0)
        qFatal("%s is no field of %s", qPrintable(field), qPrintable(Tabs::layout(tab).fileName));
    return column;
}

QModelIndex EditorWindow::cell(int row, const QString& field) const
{
    return model()->index(row, column(Tab::Special, field));
}
