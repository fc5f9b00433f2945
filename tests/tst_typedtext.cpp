// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Nothing typed goes to another row or away unseen while other programs change the script.
#include "editor/grid/CellTextDialog.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/RecordModel.h"
#include "tests/support/EditorWindow.h"
#include "tests/support/ScriptFixture.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString description = u"Description"_s;

struct Window : EditorWindow {
    using EditorWindow::EditorWindow;

    // The cell editor open in the grid, if any; closed ones linger hidden for a moment.
    QLineEdit* openEditor() const
    {
        for (auto* editor : grid()->viewport()->findChildren<QLineEdit*>()) {
            if (!editor->isHidden())
                return editor;
        }
        return nullptr;
    }
};
} // namespace

class TestTypedText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusedTextStaysWithItsRowWhileRowsAboveGo_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("stored"); // what the file held in the row, when set
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("corrected");
        QTest::newRow("count") << u"Yes"_s << QString() << u"abc"_s << u"42"_s;
        // A text longer than the field takes, written by another tool and typed into.
        QTest::newRow("long text") << u"Primary Question (Y/N)"_s << QString(300, u'x')
                                   << QString(299, u'x') + u'y' << u"short"_s;
    }
    void refusedTextStaysWithItsRowWhileRowsAboveGo()
    {
        QFETCH(QString, field);
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, corrected);
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 4);
        if (!stored.isNull())
            fx.execute(TableLayout::special(),
                       u"UPDATE Table1 SET \"%1\" = '%2' WHERE ID = 3"_s.arg(field, stored));
        const QVariantList before = fx.column(TableLayout::special(), field);
        Window w(fx);
        bool deleted = false;
        // While the refusal is read, another program deletes the first row.
        w.dialogs.whileShown = [&](const QString&) {
            if (std::exchange(deleted, true))
                return;
            fx.execute(TableLayout::special(), u"DELETE FROM Table1 WHERE ID = 1"_s);
            QTRY_COMPARE(w.model()->rowCount(), 3);
        };
        QLineEdit* editor = w.type(Tab::Special, 2, field, typed);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(deleted);

        // The text comes back in its own row, now the second, to be corrected, not selected
        // whole for one key to wipe.
        QTRY_VERIFY(w.openEditor());
        editor = w.openEditor();
        QCOMPARE(w.grid()->currentIndex(), w.cell(1, field));
        QCOMPARE(editor->text(), typed);
        QTRY_VERIFY(!editor->selectedText().contains(typed.left(255)));
        editor->setText(corrected);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!w.openEditor());
        w.grid()->setCurrentIndex(w.cell(0, description));

        QCOMPARE(fx.column(TableLayout::special(), field),
                 (QVariantList{before.at(1), corrected, before.at(3)}));
        QCOMPARE(w.messages().size(), 1); // the refusal, and no question about another's row
    }

    void textTypedInARowDeletedElsewhereIsToldAndKept_data()
    {
        QTest::addColumn<bool>("inWindow");
        QTest::newRow("cell editor") << false;
        QTest::newRow("edit in a window") << true;
    }
    void textTypedInARowDeletedElsewhereIsToldAndKept()
    {
        QFETCH(bool, inWindow);
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), 3);
        Window w(fx);
        QGuiApplication::clipboard()->clear();
        if (inWindow) {
            w.grid()->setCurrentIndex(w.cell(1, description));
            w.trigger(u"EditInWindow"_s);
            auto* dialog = w.form->findChild<CellTextDialog*>();
            QVERIFY(dialog);
            dialog->setText(u"half typed"_s);
        } else {
            QVERIFY(w.type(Tab::Special, 1, description, u"half typed"_s));
        }
        fx.execute(TableLayout::special(), u"DELETE FROM Table1 WHERE ID = 2"_s);

        QTRY_COMPARE(w.messages().size(), 1);
        QVERIFY2(w.messages().first().startsWith(
                     u"special.mdb, row 2, field \"Description\": another program deleted this "
                     u"row"_s),
                 qPrintable(w.messages().first()));
        QVERIFY(w.messages().first().contains(u"clipboard"_s));
        QCOMPARE(QGuiApplication::clipboard()->text(), u"half typed"_s);
        QVERIFY(!w.openEditor());
        QVERIFY(!w.form->findChild<CellTextDialog*>() ||
                !w.form->findChild<CellTextDialog*>()->isVisible());
        QCOMPARE(fx.column(TableLayout::special(), description),
                 (QVariantList{u"note 1"_s, u"note 3"_s}));
        QVERIFY(!w.model()->hasUnsavedEdits());
    }

    void fileReplacedUnderTheEditorIsToldAndNeverWrittenTo_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("offered"); // to open the file at the place at once
        // Both files large, so that each is read whole for damage only after it shows.
        QTest::addColumn<bool>("damaged");
        QTest::newRow("moved over it") << u"mv"_s << u"replaced by another"_s << true << false;
        QTest::newRow("moved over it, damaged")
            << u"mv"_s << u"replaced by another"_s << true << true;
        QTest::newRow("deleted, then put back") << u"rm"_s << u"deleted"_s << false << false;
        QTest::newRow("copied over it in place") << u"cp"_s << u"written over"_s << false << false;
    }
    void fileReplacedUnderTheEditorIsToldAndNeverWrittenTo()
    {
        QFETCH(QString, how);
        QFETCH(QString, told);
        QFETCH(bool, offered);
        QFETCH(bool, damaged);
        const int rows = damaged ? 1500 : 3;
        const QString words = damaged ? QString(200, u'w') : QString();
        ScriptFixture fx;
        fx.createNumbered(TableLayout::special(), rows, words);
        ScriptFixture elsewhere;
        // A damaged replacement spoiled past the rows listed first, so that it opens.
        elsewhere.createNumbered(TableLayout::special(), damaged ? 2 * rows : 2, words + u"new"_s);
        const QString path = fx.path(TableLayout::special());
        const QString replacement = elsewhere.path(TableLayout::special());
        if (damaged)
            QVERIFY(ScriptFixture::spoilATablePage(replacement));
        Window w(fx);
        QTRY_COMPARE(w.model()->rowCount(), rows); // the old file, read whole and found sound
        // A saved edit leaves pages in the log beside the file; one still typed is not saved.
        QVERIFY(w.model()->setData(w.cell(1, description), u"saved"_s));
        QVERIFY(w.model()->savePending());
        QVERIFY(w.type(Tab::Special, 0, description, u"typed"_s));
        QGuiApplication::clipboard()->clear();

        if (how == u"mv"_s) {
            QVERIFY(::rename(QFile::encodeName(replacement), QFile::encodeName(path)) == 0);
        } else if (how == u"rm"_s) {
            QVERIFY(QFile::remove(path));
        } else {
            QFile from(replacement);
            QFile to(path);
            QVERIFY(from.open(QIODevice::ReadOnly) && to.open(QIODevice::WriteOnly));
            QVERIFY(to.write(from.readAll()) > 0);
        }
        w.dialogs.answers << QMessageBox::Open;
        QTRY_VERIFY_WITH_TIMEOUT(!w.messages().isEmpty(), 5000);
        if (!damaged) // where reading a damaged file fails, that is told too
            QCOMPARE(w.messages().size(), 1);
        QVERIFY2(w.messages().first().startsWith(u"special.mdb: the file was %1"_s.arg(told)),
                 qPrintable(w.messages().first()));
        QCOMPARE(w.dialogs.messages.first().buttons.testFlag(QMessageBox::Open), offered);
        QVERIFY(QGuiApplication::clipboard()->text().contains(u"typed"_s));
        if (how == u"rm"_s) {
            QVERIFY(w.model()->isReadOnly());
            QVERIFY(QFile::copy(replacement, path));
            QTRY_COMPARE(w.messages().size(), 2);
            QVERIFY2(w.messages().last().contains(u"Open it?"_s), qPrintable(w.messages().last()));
        }
        if (how == u"cp"_s) {
            QVERIFY(w.model()->isReadOnly());
            QCOMPARE(w.model()->rowCount(), 0);
            return;
        }
        if (damaged) {
            const QByteArray before = ScriptFixture::fingerprint(path);
            QVERIFY(!w.model()->setData(w.cell(1, description), u"after"_s));
            QVERIFY2(w.messages().last().startsWith(u"special.mdb: the file is damaged"_s),
                     qPrintable(w.messages().last()));
            QCOMPARE(ScriptFixture::fingerprint(path), before);
            return;
        }
        // The file at the place is the one shown and written now, and nothing of the old one
        // shows through it.
        QTRY_COMPARE(w.model()->rowCount(), 2);
        QCOMPARE(fx.column(TableLayout::special(), description),
                 (QVariantList{u"note 1"_s, u"note 2"_s}));
        QVERIFY(w.model()->setData(w.cell(1, description), u"after"_s));
        QVERIFY(w.model()->savePending());
        QCOMPARE(fx.column(TableLayout::special(), description),
                 (QVariantList{u"note 1"_s, u"after"_s}));
    }
};

QTEST_MAIN(TestTypedText)
#include "tst_typedtext.moc"
