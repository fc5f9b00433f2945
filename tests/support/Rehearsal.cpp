// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/Rehearsal.h"

#include <QFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

Rehearsal::Rehearsal(ScriptFixture::Store store, const QString& socket)
    : fx(store, socket)
    , location(fx.dir())
{
    fx.createNumbered(TableLayout::basic(), 22, u"basic"_s);
    fx.createNumbered(TableLayout::control(), 100, u"control"_s);
    QList<QVariantList> pairs;
    QList<QVariantList> cases;
    for (int k = 1; k <= 60; ++k)
        pairs << QVariantList{u"note"_s, u"first %1"_s.arg(k), u"second %1"_s.arg(k)};
    for (int k = 1; k <= 6; ++k) {
        cases << QVariantList{u"note"_s, u"case %1?"_s.arg(k), 0};
        for (int prompt = 1; prompt <= 4; ++prompt)
            cases.last() << u"case %1 prompt %2"_s.arg(k).arg(prompt);
    }
    fx.create(TableLayout::doubles(), pairs);
    fx.create(TableLayout::special(), cases);
}

Rehearsal::~Rehearsal() = default;

void Rehearsal::change(const QString& table, const QString& what)
{
    if (table == u"clock"_s) {
        stage.now.setTime(QTime::fromString(what, u"hh:mm"_s));
        return;
    }
    if (table == u"dice"_s) {
        for (const QString& pick : what.split(u"; "_s)) {
            stage.dice << QList<int>();
            for (const QString& position : pick.split(u' '))
                stage.dice.last() << position.toInt();
        }
        return;
    }
    const auto layout = std::find_if(TableLayout::all().begin(), TableLayout::all().end(),
                                     [&](auto* l) { return l->fileName == table + u".mdb"_s; });
    if (layout == TableLayout::all().end())
        qFatal("no script file is called %s", qPrintable(table));
    const QString path = fx.path(**layout);
    if (what.startsWith(u"held"_s)) {
        m_lock.emplace(fx, **layout,
                       what == u"held for writing"_s ? FileLock::Kind::Write
                                                     : FileLock::Kind::Exclusive);
        if (what.endsWith(u"until a wait"_s))
            stage.meanwhile = [this](double seconds) {
                if (seconds < 1)
                    m_lock.reset();
            };
    } else if (what == u"gone"_s || what == u"replaced"_s) {
        if (fx.store() == ScriptFixture::Store::Server)
            qFatal("a server's table cannot be taken away as a file can");
        if (!QFile::rename(path, path + u".old"_s) ||
            (what == u"replaced"_s && !QFile::copy(path + u".old"_s, path)))
            qFatal("cannot move %s", qPrintable(path));
    } else {
        for (const QString& statement : what.split(u"; "_s))
            fx.execute(**layout, statement);
    }
}

void Rehearsal::open()
{
    m_conversation = std::make_unique<Conversation>(stage, stage, stage, stage, location);
    stage.attach(*m_conversation);
    m_conversation->Form_Load();
}

void Rehearsal::play(const Beats& beats, const QStringList& changes)
{
    for (const bool meanwhile : {false, true}) {
        if (meanwhile && !m_conversation)
            open();
        for (const QString& change : changes) {
            const QString place = change.section(u": "_s, 0, 0);
            if (place.endsWith(u", meanwhile"_s) == meanwhile)
                this->change(place.section(u',', 0, 0), change.section(u": "_s, 1));
        }
    }
    // Only the choices written before the conversation says anything are made before Start.
    qsizetype before = 0;
    while (before < beats.size() && (!std::holds_alternative<QString>(beats.at(before)) ||
                                     std::get<QString>(beats.at(before)).startsWith(u"marked"_s)))
        ++before;
    stage.follow(beats.first(before));
    stage.chooseFromMenu();
    stage.follow(beats.mid(before));
    for (const Beat& beat : beats)
        m_expected << FakeStage::lines(beat);
    if (!m_conversation->hasEnded())
        m_conversation->BUTTON_Click();
    m_lock.reset();
}

void Rehearsal::check() const
{
    const bool onServer = fx.store() == ScriptFixture::Store::Server;
    QStringList happened = stage.transcript;
    QStringList expected = m_expected;
    if (onServer) {
        for (QString& line : expected) {
            if (line.startsWith(u"special.mdb counts: "_s))
                continue;
            for (const TableLayout* layout : TableLayout::all())
                line.replace(layout->fileName, layout->caption);
        }
    }
    if (!expected.isEmpty() && expected.last().startsWith(u"special.mdb counts: "_s)) {
        QStringList counts;
        for (const QVariant& count : onServer || QFile::exists(fx.path(TableLayout::special()))
                                         ? fx.column(TableLayout::special(), u"Yes"_s)
                                         : QVariantList{u"no file"_s})
            counts << (count.isNull() ? u"null"_s : count.toString());
        happened << u"special.mdb counts: "_s + counts.join(u' ');
    }
    for (qsizetype i = 0; i < std::min(happened.size(), expected.size()); ++i) {
        if (expected.at(i).endsWith(u'…') && happened.at(i).startsWith(expected.at(i).chopped(1)))
            happened[i] = expected.at(i);
    }
    // Of equal length, so that a difference is named by its first line.
    while (happened.size() < expected.size())
        happened << u"(nothing more)"_s;
    while (expected.size() < happened.size())
        expected << u"(nothing more)"_s;
    QCOMPARE(happened, expected);
}

void conversationColumns()
{
    QTest::addColumn<ScriptFixture::Store>("store");
    QTest::addColumn<Beats>("conversation");
    QTest::addColumn<QStringList>("changes");
}

void scenario(const char* name, const Beats& conversation, const QStringList& changes)
{
    QTest::newRow(name) << ScriptFixture::Store::Folder << conversation << changes;
}

void onBothStores(const char* name, const Beats& conversation, const QStringList& changes)
{
    scenario(name, conversation, changes);
    QTest::addRow("%s, on a server", name)
        << ScriptFixture::Store::Server << conversation << changes;
}

void playScenario()
{
    QFETCH(ScriptFixture::Store, store);
    QFETCH(Beats, conversation);
    QFETCH(QStringList, changes);
    SKIP_WITHOUT_SERVER(store);
    Rehearsal r(store);
    r.play(conversation, changes);
    r.check();
}

Beats introduction(const QString& name, const QString& birthDate)
{
    return {u"show: basic 1 (1 s) | input: basic 2 | > %1 | input: basic 3 | > %2"_s.arg(name,
                                                                                         birthDate),
            u"show: %1 basic 4 (1 s) | show: basic 5 (1 s) | show: basic 6 (1 s)"_s.arg(name),
            u"show: basic 7 (1 s) | show: basic 8 (1 s) | show: basic 9 (1 s)"_s,
            u"show: basic 10 (1 s)"_s};
}

Beats toTwoYes(const QString& answer)
{
    const QString goOn = u"ask: first 41 %1 second 41"_s.arg(answer);
    return beats(introduction(), u"input: control 41 | > %1 | show: control 1 (1 s)"_s.arg(answer),
                 u"box: first 1 %1 second 1"_s.arg(answer), Reply::Ok, goOn, Reply::Yes,
                 u"show: control 1 (1 s) | box: first 1 %1 second 1"_s.arg(answer), Reply::Ok, goOn,
                 Reply::Yes, u"show: control 21 (1 s) | box: first 21 %1 second 21"_s.arg(answer),
                 Reply::Ok);
}
