// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/FieldRule.h"
#include "script/TableLayout.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestFieldRule : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countsMustBeShortWholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("number") << u"42"_s << true;
        QTest::newRow("negative") << u"-3"_s << true;
        QTest::newRow("blank") << u""_s << true;
        QTest::newRow("eleven") << u"12345678901"_s << true;
        QTest::newRow("twelve") << u"123456789012"_s << false;
        QTest::newRow("fraction") << u"1.5"_s << false;
        QTest::newRow("word") << u"many"_s << false;
        QTest::newRow("blank around") << u" 4"_s << false;
        QTest::newRow("arabic-indic digit") << u"\u0664"_s << false;
    }
    void countsMustBeShortWholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const QString problem = FieldRule::problem(TableLayout::special(), u"Yes"_s, text);
        QCOMPARE(problem.isEmpty(), accepted);
        if (accepted && !text.isEmpty())
            QCOMPARE(FieldRule::stored(TableLayout::special(), u"Yes"_s, text),
                     QVariant(text.toLongLong()));
    }

    void blankCountIsStoredUnset()
    {
        QVERIFY(FieldRule::stored(TableLayout::special(), u"Yes"_s, u""_s).isNull());
    }

    void textsHoldAtMost255Characters()
    {
        const auto& layout = TableLayout::control();
        QVERIFY(FieldRule::problem(layout, u"String"_s, QString(255, u'x')).isEmpty());
        QVERIFY(FieldRule::problem(layout, u"String"_s, QString(256, u'x')).contains(u"256"_s));
        // A text that looks like a number stays a text.
        QCOMPARE(FieldRule::stored(layout, u"String"_s, u"007"_s), QVariant(u"007"_s));
    }
};

QTEST_GUILESS_MAIN(TestFieldRule)
#include "tst_fieldrule.moc"
