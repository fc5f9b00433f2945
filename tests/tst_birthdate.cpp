// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/AgeAnswer.h"
#include "engine/BirthDateReader.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestBirthDate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsTheDocumentedForms_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("MM/DD/YY") << u"12/31/99"_s << QDate(1999, 12, 31);
        QTest::newRow("M/D/YYYY") << u"6/5/1965"_s << QDate(1965, 6, 5);
        QTest::newRow("ISO") << u"1965-06-15"_s << QDate(1965, 6, 15);
        QTest::newRow("dashes") << u"06-15-65"_s << QDate(1965, 6, 15);
        QTest::newRow("blanks around") << u"  6/15/1965 "_s << QDate(1965, 6, 15);
        QTest::newRow("month name") << u"June 15, 1965"_s << QDate(1965, 6, 15);
        QTest::newRow("day first") << u"15 Jun 1965"_s << QDate(1965, 6, 15);
        QTest::newRow("leap day") << u"2/29/2000"_s << QDate(2000, 2, 29);
    }
    void readsTheDocumentedForms()
    {
        QFETCH(QString, typed);
        QFETCH(QDate, expected);
        QCOMPARE(BirthDateReader::read(typed, QDate(2026, 12, 7)), std::optional<QDate>(expected));
    }

    void refusesWhatIsNoDate_data()
    {
        QTest::addColumn<QString>("typed");
        for (const QString& text :
             {u""_s, u"13/45/99"_s, u"2/29/2001"_s, u"10:30"_s, u"12:00 PM"_s, u"yesterday"_s,
              u"12/31"_s, u"1/2/345"_s, u"Juno 15, 1965"_s, u"12/31/99 extra"_s})
            QTest::newRow(qPrintable(text.isEmpty() ? u"empty"_s : text)) << text;
    }
    void refusesWhatIsNoDate()
    {
        QFETCH(QString, typed);
        QCOMPARE(BirthDateReader::read(typed, QDate(2026, 12, 7)), std::nullopt);
    }

    void twoDigitYearsNeverLandInTheFuture()
    {
        const QDate today(2026, 12, 7);
        QCOMPARE(BirthDateReader::read(u"1/1/26"_s, today)->year(), 2026);
        QCOMPARE(BirthDateReader::read(u"1/1/27"_s, today)->year(), 1927);
        QCOMPARE(BirthDateReader::read(u"1/1/00"_s, today)->year(), 2000);
        QCOMPARE(BirthDateReader::read(u"1/1/99"_s, QDate(2000, 6, 1))->year(), 1999);
    }

    void agesRoundHalvesToEven_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("age");
        QTest::newRow("plain") << u"35"_s << 35;
        QTest::newRow("blanks") << u" 35 "_s << 35;
        QTest::newRow("decimal") << u"35.0"_s << 35;
        QTest::newRow("half up to even") << u"35.5"_s << 36;
        QTest::newRow("half down to even") << u"34.5"_s << 34;
        QTest::newRow("above half") << u"34.51"_s << 35;
        QTest::newRow("negative") << u"-1"_s << -1;
        QTest::newRow("16-bit top") << u"32767"_s << 32767;
    }
    void agesRoundHalvesToEven()
    {
        QFETCH(QString, typed);
        QFETCH(int, age);
        QCOMPARE(AgeAnswer::read(typed), std::optional<qint16>(qint16(age)));
    }

    void agesThatAreNoNumberReadAsNothing()
    {
        for (const QString& typed : {u""_s, u"  "_s, u"abc"_s, u"35 years"_s, u"32768"_s,
                                     u"-32769"_s, u"1e300"_s, u"nan"_s, u"inf"_s})
            QVERIFY2(!AgeAnswer::read(typed), qPrintable(typed));
    }
};

QTEST_GUILESS_MAIN(TestBirthDate)
#include "tst_birthdate.moc"
