// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/MainForm.h"
#include "tests/support/EditorWindow.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/SilentVoice.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// The key that Alt (in a bar) or the key alone (in an open menu) gives an item: the letter
// after a single "&".
QChar mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1) != u'&')
            return text.at(i + 1).toLower();
        ++i;
    }
    return {};
}

// Every two items of one bar or menu that answer the same key, as "Bar: &Exit, &Edit".
QStringList clashes(const QString& where, const QList<QAction*>& items)
{
    QStringList found;
    QHash<QChar, QString> taken;
    for (const QAction* item : items) {
        const QChar key = mnemonic(item->text());
        if (key.isNull())
            continue;
        if (taken.contains(key))
            found << u"%1: %2, %3"_s.arg(where, taken.value(key), item->text());
        else
            taken.insert(key, item->text());
    }
    return found;
}

QStringList clashesIn(const QMainWindow& window)
{
    QStringList found = clashes(window.objectName() + u" bar"_s, window.menuBar()->actions());
    for (const QMenu* menu : window.findChildren<QMenu*>())
        found << clashes(menu->title(), menu->actions());
    // The context menus of the grids.
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->contextMenuPolicy() == Qt::ActionsContextMenu)
            found << clashes(widget->objectName(), widget->actions());
    }
    return found;
}
} // namespace

class TestMnemonics : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyMenuKeyLeadsToOneItem()
    {
        ScriptFixture fx;
        fx.createFullScript();
        const EditorWindow editor(fx);
        SilentVoice voice;
        ScriptedDialogs dialogs;
        const MainForm runner(dialogs, voice, fx.dir());
        const QStringList found = clashesIn(*editor.form) + clashesIn(runner);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
        // What the author reaches with Alt+E is what it always was.
        QCOMPARE(editor.form->menuBar()->actions().first()->text(), u"&Exit"_s);
    }
};

QTEST_MAIN(TestMnemonics)
#include "tst_mnemonics.moc"
