// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptCheck.h"
#include "tests/support/FileLock.h"
#include "tests/support/HostileFiles.h"
#include "tests/support/Rehearsal.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
// Makes a path read-only for the length of a test, even for root (the immutable flag);
// false when the system offers no way to.
class ReadOnly {
public:
    explicit ReadOnly(QString path)
        : m_path(std::move(path))
    {
        if (::geteuid() == 0)
            m_done = QProcess::execute(u"chattr"_s, {u"+i"_s, m_path}) == 0;
        else
            m_done = QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnly()
    {
        if (::geteuid() == 0)
            QProcess::execute(u"chattr"_s, {u"-i"_s, m_path});
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool done() const { return m_done; }

private:
    QString m_path;
    bool m_done = false;
};

} // namespace

// Every program meets broken, foreign and hostile script files with a clear message that
// names the file, without crashing or hanging, and leaves the file exactly as it was.
class TestHostileFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void everyProgramSaysWhatIsWrong_data()
    {
        QTest::addColumn<int>("index");
        const QList<HostileFile> files = HostileFiles::all();
        QVERIFY(files.size() >= 30);
        for (int i = 0; i < files.size(); ++i)
            QTest::newRow(qPrintable(files.at(i).name)) << i;
    }
    void everyProgramSaysWhatIsWrong()
    {
        QFETCH(int, index);
        const HostileFile hostile = HostileFiles::all().at(index);
        Rehearsal s; // the standard script, but for basic.mdb
        QVERIFY(QFile::remove(s.fx.path(TableLayout::basic())));
        hostile.make(s.fx);
        const QString path = s.fx.path(TableLayout::basic());
        const QByteArray before = ScriptFixture::fingerprint(path);

        // The runner: told when its window loads, and loading goes on as far as it can.
        s.open();
        const QStringList loadMessages = s.stage.transcript;
        if (hostile.opens) {
            QVERIFY2(loadMessages.isEmpty(), qPrintable(loadMessages.join(u'\n')));
        } else {
            QCOMPARE(loadMessages.size(), 1);
            QVERIFY2(loadMessages.first().startsWith(u"warning[]: basic.mdb: "_s),
                     qPrintable(loadMessages.first()));
        }
        s.play({}); // Start, and the window closed at the first question
        for (const QString& detail : s.stage.transcript.filter(u"details: "_s))
            QVERIFY2(detail.startsWith(u"details: basic.mdb"_s), qPrintable(detail));

        // The editor: the tab explains, or the grid reads every row.
        {
            ScriptedDialogs told;
            Form1 editor(told, s.fx.dir());
            if (hostile.opens) {
                RecordModel* model = editor.model(Tab::Basic);
                QVERIFY(model);
                for (int row = 0; row < model->rowCount(); ++row) {
                    for (int column = 0; column < model->columnCount(); ++column)
                        (void)model->data(model->index(row, column));
                }
            } else {
                auto* problem = editor.findChild<QLabel*>(u"Problem1"_s);
                QVERIFY(problem);
                QVERIFY2(problem->text().startsWith(u"basic.mdb: "_s), qPrintable(problem->text()));
                QVERIFY(editor.model(Tab::Special)); // the other tabs work
            }
            for (const QString& message : std::as_const(told.asked))
                QVERIFY2(message.contains(u"basic.mdb"_s), qPrintable(message));
        }

        // The check: every file that cannot be read is an error naming it.
        const QList<ScriptFinding> findings = ScriptCheck::run(s.fx.dir());
        if (!hostile.opens) {
            QVERIFY(std::any_of(findings.begin(), findings.end(), [](const ScriptFinding& f) {
                return f.isError() && f.file == u"basic.mdb"_s;
            }));
        }
        for (const ScriptFinding& finding : findings)
            QVERIFY2(finding.file == u"basic.mdb"_s, qPrintable(finding.message()));

        QCOMPARE(ScriptFixture::fingerprint(path), before);
    }

    void readOnlyFilesAndFoldersAreReadOrToldAndLeftAlone_data()
    {
        QTest::addColumn<bool>("wholeFolder");
        QTest::newRow("read-only files") << false;
        QTest::newRow("read-only folder") << true;
    }
    void readOnlyFilesAndFoldersAreReadOrToldAndLeftAlone()
    {
        QFETCH(bool, wholeFolder);
        Rehearsal s;
        QList<QByteArray> before;
        for (const TableLayout* layout : TableLayout::all())
            before << ScriptFixture::fingerprint(s.fx.path(*layout));
        std::vector<std::unique_ptr<ReadOnly>> locks;
        if (wholeFolder) {
            locks.push_back(std::make_unique<ReadOnly>(s.fx.dir()));
        } else {
            for (const TableLayout* layout : TableLayout::all())
                locks.push_back(std::make_unique<ReadOnly>(s.fx.path(*layout)));
        }
        if (!locks.front()->done())
            QSKIP("this system cannot make a file read-only for this user");

        // The runner reads what it can and names what it cannot; a Yes that cannot be
        // counted is told, and the conversation goes on.
        s.open();
        for (const QString& entry : std::as_const(s.stage.transcript))
            QVERIFY2(entry.contains(u".mdb: "_s), qPrintable(entry));
        if (wholeFolder) // nothing can be written there, but everything can be read
            QCOMPARE(s.stage.transcript, QStringList());
        s.play(beats(Persistence::Low, toTwoYes(), Reply::Yes, Reply::Yes, "> fine", Reply::Ok,
                     Reply::No, Reply::Yes));
        const QStringList details = s.stage.transcript.filter(u"details: "_s);
        QVERIFY2(!details.isEmpty() && details.first().contains(u"the Yes was not counted"_s),
                 qPrintable(details.join(u'\n')));
        for (const QString& detail : details)
            QVERIFY2(detail.contains(u".mdb"_s), qPrintable(detail));
        QVERIFY(s.stage.transcript.contains(u"input: case 1 prompt 1"_s));

        {
            ScriptedDialogs told;
            Form1 editor(told, s.fx.dir());
            for (Tab tab : Tabs::all) {
                if (!editor.model(tab)) {
                    auto* problem = editor.findChild<QLabel*>(u"Problem%1"_s.arg(int(tab) + 1));
                    QVERIFY(problem && problem->text().contains(u".mdb: "_s));
                }
            }
        }
        // The check foretells what the runner did: no Yes counted, told, and gone around.
        const QList<ScriptFinding> findings = ScriptCheck::run(s.fx.dir());
        QVERIFY(std::any_of(findings.begin(), findings.end(), [](const ScriptFinding& f) {
            return !f.isError() && f.file == u"special.mdb"_s &&
                   f.reason.contains(u"the runner cannot count a Yes"_s);
        }));
        locks.clear();
        for (int i = 0; i < TableLayout::all().size(); ++i)
            QCOMPARE(ScriptFixture::fingerprint(s.fx.path(*TableLayout::all().at(i))),
                     before.at(i));
    }

    void fileLockedLongerThanTheWaitIsTold()
    {
        Rehearsal s;
        FileLock lock(s.fx.path(TableLayout::basic()), FileLock::Kind::Exclusive);
        s.open();
        QCOMPARE(s.stage.transcript.size(), 1);
        QVERIFY2(s.stage.transcript.first().startsWith(u"warning[]: basic.mdb: "_s) &&
                     s.stage.transcript.first().contains(u"locked"_s),
                 qPrintable(s.stage.transcript.first()));
    }
};

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
