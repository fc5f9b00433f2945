#include "Form1.h"
#include "HostileFiles.h"
#include "RecordModel.h"
#include "ScriptCheck.h"
#include "Session.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
QByteArray fingerprint(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink())
        return info.exists() ? QByteArray("not a file") : QByteArray("absent");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "unreadable";
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Works in the fixture's folder, as the programs do, and goes back afterwards.
struct InFolder {
    QString before = QDir::currentPath();
    explicit InFolder(const QString& dir) { QDir::setCurrent(dir); }
    ~InFolder() { QDir::setCurrent(before); }
};
} // namespace

// Every program meets broken, foreign and hostile script files with a clear message that
// names the file, without crashing or hanging, and leaves the file exactly as it was.
class TestHostileFiles : public QObject {
    Q_OBJECT

    static void makeTheOtherFiles(const ScriptFixture& fx)
    {
        fx.createNumbered(TableLayout::control(), 100);
        fx.createNumbered(TableLayout::doubles(), 60);
        fx.createNumbered(TableLayout::special(), 3);
    }

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
        Session s;
        makeTheOtherFiles(s.fx);
        hostile.make(s.fx);
        const QString path = s.fx.path(TableLayout::basic());
        const QByteArray before = fingerprint(path);

        // The runner: told when its window loads, and loading goes on as far as it can.
        Conversation& runner = s.open();
        const QStringList loadMessages = s.stage.transcript;
        if (hostile.opens) {
            QVERIFY2(loadMessages.isEmpty(), qPrintable(loadMessages.join(u'\n')));
        } else {
            QCOMPARE(loadMessages.size(), 1);
            QVERIFY2(loadMessages.first().startsWith(u"box(48)[]: basic.mdb: "_s),
                     qPrintable(loadMessages.first()));
        }
        runner.LoadData();
        for (const QString& detail : std::as_const(s.stage.lastDetails))
            QVERIFY2(detail.startsWith(u"basic.mdb"_s), qPrintable(detail));
        s.conversation.reset();

        // The editor: the tab explains, or the grid reads every row.
        {
            InFolder folder(s.fx.dir());
            QStringList told;
            Form1 editor;
            editor.setMessenger([&](const QString& message) { told << message; });
            if (hostile.opens) {
                RecordModel* model = editor.model(0);
                QVERIFY(model);
                for (int row = 0; row < model->rowCount(); ++row) {
                    for (int column = 0; column < model->columnCount(); ++column)
                        (void)model->data(model->index(row, column));
                }
            } else {
                auto* problem = editor.findChild<QLabel*>(u"Problem1"_s);
                QVERIFY(problem);
                QVERIFY2(problem->text().startsWith(u"basic.mdb: "_s), qPrintable(problem->text()));
                QVERIFY(editor.model(3)); // the other tabs work
            }
            for (const QString& message : std::as_const(told))
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

        QCOMPARE(fingerprint(path), before);
    }

    void fileLockedLongerThanTheWaitIsTold()
    {
        Session s;
        makeTheOtherFiles(s.fx);
        s.fx.createNumbered(TableLayout::basic(), 22);
        QSqlDatabase holder = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"holder"_s);
        holder.setDatabaseName(s.fx.path(TableLayout::basic()));
        QVERIFY(holder.open());
        {
            QSqlQuery lock(holder);
            QVERIFY(lock.exec(u"PRAGMA locking_mode = EXCLUSIVE"_s));
            QVERIFY(lock.exec(u"BEGIN EXCLUSIVE"_s));

            s.open();
            QCOMPARE(s.stage.transcript.size(), 1);
            QVERIFY2(s.stage.transcript.first().startsWith(u"box(48)[]: basic.mdb: "_s) &&
                         s.stage.transcript.first().contains(u"locked"_s),
                     qPrintable(s.stage.transcript.first()));
            QVERIFY(lock.exec(u"ROLLBACK"_s));
        }
        holder.close();
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"holder"_s);
    }
};

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
