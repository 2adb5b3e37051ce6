#include "EnvTest.h"

#include "calendar/Convlunar.h"

#include <QDate>
#include <QtTest>

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>

namespace {

// One month of the reference calendar.
struct RefMonth {
    int year = 0, month = 0;
    bool leap = false;
    QDate start;
    int days = 0;
};

// The Korean lunar calendar as ICU computes it, read at noon in Seoul.
class DangiReference {
public:
    DangiReference() : m_tz(icu::TimeZone::createTimeZone("Asia/Seoul")), m_greg(*m_tz, m_status) {
        m_dangi.reset(
            icu::Calendar::createInstance(*m_tz, icu::Locale("ko_KR@calendar=dangi"), m_status));
    }
    bool ok() const { return U_SUCCESS(m_status) && m_dangi; }

    struct Day {
        int year = 0, month = 0, day = 0;
        bool leap = false;
    };
    Day lunarOf(const QDate& d) {
        m_greg.clear();
        m_greg.set(d.year(), d.month() - 1, d.day(), 12, 0, 0);
        m_dangi->setTime(m_greg.getTime(m_status), m_status);
        Day r;
        r.year = m_dangi->getRelatedYear(m_status);
        r.month = m_dangi->get(UCAL_MONTH, m_status) + 1;
        r.day = m_dangi->get(UCAL_DATE, m_status);
        r.leap = m_dangi->get(UCAL_IS_LEAP_MONTH, m_status) != 0;
        return r;
    }

private:
    UErrorCode m_status = U_ZERO_ERROR;
    std::unique_ptr<icu::TimeZone> m_tz;
    icu::GregorianCalendar m_greg;
    std::unique_ptr<icu::Calendar> m_dangi;
};

// Every month of lunar 1841 .. lastYear: the official (KASI) months from
// data/kasi_months.tsv, then ICU's months from the day after the file's last month on.
// Empty when the file is missing or malformed.
QList<RefMonth> referenceMonths(int lastYear) {
    QList<RefMonth> months;
    QFile f(QFINDTESTDATA("data/kasi_months.tsv"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList c = line.split(u'\t');
        RefMonth m{c.value(0).toInt(), c.value(1).toInt(), c.value(2) == u"1",
                   QDate::fromString(c.value(3), "yyyy-MM-dd"), c.value(4).toInt()};
        // Months follow each other without a gap.
        if (c.size() != 5 || !m.start.isValid() || (m.days != 29 && m.days != 30) ||
            (!months.isEmpty() && months.last().start.addDays(months.last().days) != m.start))
            return {};
        months << m;
    }
    DangiReference icu;
    if (months.isEmpty() || !icu.ok()) return {};
    for (QDate d = months.last().start.addDays(months.last().days);; d = d.addDays(1)) {
        const auto k = icu.lunarOf(d);
        if (k.year > lastYear) break;
        if (k.day == 1) months << RefMonth{k.year, k.month, k.leap, d, 0};
        months.last().days = k.day;
    }
    return months;
}

QString iso(const QDate& d) {
    return d.toString("yyyy-MM-dd");
}

} // namespace

class TestConvlunar : public EnvTest {
    Q_OBJECT
public:
    TestConvlunar() : EnvTest(false) {}

private slots:
    void initTestCase() {
        m_ref = referenceMonths(kLunarLastYear);
        QVERIFY(!m_ref.isEmpty());
        QCOMPARE(m_ref.first().start, QDate(1841, 1, 23));
    }

    void knownDates_data() {
        QTest::addColumn<bool>("toSolar");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("d");
        QTest::addColumn<QString>("expected");

        QTest::newRow("lunar 2026 new year") << true << 2026 << 1 << 1 << "2026-02-17";
        QTest::newRow("first day of the table") << true << 1841 << 1 << 1 << "1841-01-23";
        QTest::newRow("first day of 1900") << true << 1900 << 1 << 1 << "1900-01-31";
        // Years where the Korean and the Chinese reckoning part.
        QTest::newRow("lunar 1966 new year") << true << 1966 << 1 << 1 << "1966-01-22";
        QTest::newRow("lunar 2016 new year") << true << 2016 << 1 << 1 << "2016-02-08";
        QTest::newRow("lunar 1990 month 9") << true << 1990 << 9 << 1 << "1990-10-19";
        QTest::newRow("lunar 2004 month 10") << true << 2004 << 10 << 1 << "2004-11-12";
        QTest::newRow("solar 2016-02-07 ends lunar 2015") << false << 2016 << 2 << 7 << "2015-12-29";
        QTest::newRow("solar 2033-12-22 in the leap 11th") << false << 2033 << 12 << 22 << "2033-11-01";
        // Where the official tables differ from ICU's reckoning.
        QTest::newRow("lunar 2017-02-01") << true << 2017 << 2 << 1 << "2017-02-26";
        QTest::newRow("solar 1851-09-25 in the leap 8th") << false << 1851 << 9 << 25 << "1851-08-01";
        QTest::newRow("solar 1862-09-24 in the leap 8th") << false << 1862 << 9 << 24 << "1862-08-01";
        QTest::newRow("lunar 1890-02-01, a leap 2nd follows") << true << 1890 << 2 << 1 << "1890-02-19";
        // Days that do not exist give no text.
        QTest::newRow("solar 29 Feb 1900") << false << 1900 << 2 << 29 << "";
        QTest::newRow("solar 29 Feb 2000") << false << 2000 << 2 << 29 << "2000-01-25";
        QTest::newRow("solar 29 Feb 2100") << false << 2100 << 2 << 29 << "";
        QTest::newRow("solar 30 Feb 2024") << false << 2024 << 2 << 30 << "";
        QTest::newRow("solar month 13") << false << 2026 << 13 << 1 << "";
        QTest::newRow("solar day 0") << false << 2026 << 1 << 0 << "";
        // 2026: month 1 has 30 days, month 2 has 29; 2001 month 4 has 29, then a leap month.
        QTest::newRow("30th of a 30-day month") << true << 2026 << 1 << 30 << "2026-03-18";
        QTest::newRow("29th of a 29-day month") << true << 2026 << 2 << 29 << "2026-04-16";
        QTest::newRow("30th of a 29-day month") << true << 2026 << 2 << 30 << "";
        QTest::newRow("30th of a 29-day month with leap") << true << 2001 << 4 << 30 << "";
        QTest::newRow("lunar day 31") << true << 2026 << 1 << 31 << "";
        QTest::newRow("lunar day 0") << true << 2026 << 1 << 0 << "";
        QTest::newRow("lunar month 13") << true << 2026 << 13 << 1 << "";
        QTest::newRow("year before the table") << true << 1840 << 12 << 1 << "";
        QTest::newRow("year after the table") << true << 2101 << 1 << 1 << "";
    }
    void knownDates() {
        QFETCH(bool, toSolar);
        QFETCH(int, y);
        QFETCH(int, m);
        QFETCH(int, d);
        QFETCH(QString, expected);
        const Convlunar conv;
        QCOMPARE(toSolar ? conv.Lun2Sol(y, m, d, 1) : conv.Sol2Lun(y, m, d, 1), expected);
    }

    void leapMonthDaysReportTheirMonth() {
        // 2001 has a leap month after the 4th: 4th month from 04-24, its leap month from 05-23.
        const Convlunar conv;
        int y = 0, m = 0, d = 0;
        bool leap = true;
        QVERIFY(conv.solarToLunar(2001, 5, 22, y, m, d, &leap));
        QCOMPARE(QList<int>({y, m, d}), QList<int>({2001, 4, 29}));
        QVERIFY(!leap);
        QVERIFY(conv.solarToLunar(2001, 5, 23, y, m, d, &leap));
        QCOMPARE(QList<int>({y, m, d}), QList<int>({2001, 4, 1}));
        QVERIFY(leap);
        QCOMPARE(conv.Sol2Lun(2001, 6, 20), QString("2001-04-29"));
        // A lunar date of that month means the month itself, the earlier date.
        QCOMPARE(conv.Lun2Sol(2001, 4, 1), QString("2001-04-24"));
        QCOMPARE(conv.Lun2Sol(2001, 5, 1), QString("2001-06-21"));
    }

    void everySolarDayAgreesWithTheReference() {
        const Convlunar conv;
        QStringList differences;
        auto ref = m_ref.cbegin();
        int days = 0;
        for (QDate d(1841, 1, 1); d <= QDate(2100, 12, 31); d = d.addDays(1), ++days) {
            while (ref != m_ref.cend() && ref->start.addDays(ref->days) <= d)
                ++ref;
            QVERIFY(ref != m_ref.cend());
            const QString text = conv.Sol2Lun(d.year(), d.month(), d.day(), 1);
            if (d < ref->start) { // lunar 1840, before the table
                if (!text.isEmpty()) differences << iso(d) + " gives " + text;
                continue;
            }
            const int day = int(ref->start.daysTo(d)) + 1;
            int y = 0, m = 0, dd = 0;
            bool leap = !ref->leap;
            conv.solarToLunar(d.year(), d.month(), d.day(), y, m, dd, &leap);
            const QString expected = QString::asprintf("%04d-%02d-%02d", ref->year, ref->month, day);
            if (text != expected || leap != ref->leap)
                differences << QString("%1: %2%3 expected %4%5")
                                   .arg(iso(d), text, leap ? " leap" : "", expected, ref->leap ? " leap" : "");
        }
        QVERIFY2(differences.isEmpty(), qPrintable(QString("%1 days differ: ").arg(differences.size()) +
                                                   differences.mid(0, 8).join("; ")));
        QCOMPARE(days, 94963); // 1841-01-01 .. 2100-12-31
    }

    void everyLunarDayAgreesWithTheReference() {
        // A month that a leap month follows is entered by its own number; the leap month's days
        // have no lunar text of their own and are checked from the solar side.
        const Convlunar conv;
        QStringList differences;
        int months = 0;
        for (const RefMonth& r : m_ref) {
            if (r.leap) continue;
            ++months;
            for (int day = 1; day <= 30; ++day) {
                const QString expected = day <= r.days ? iso(r.start.addDays(day - 1)) : QString();
                const QString text = conv.Lun2Sol(r.year, r.month, day, 1);
                if (text != expected)
                    differences << QString("%1-%2-%3 gives %4, expected %5")
                                       .arg(r.year).arg(r.month).arg(day).arg(text, expected);
            }
        }
        QVERIFY2(differences.isEmpty(), qPrintable(QString("%1 days differ: ").arg(differences.size()) +
                                                   differences.mid(0, 8).join("; ")));
        QCOMPARE(months, (kLunarLastYear - kLunarFirstYear + 1) * 12);
        // The table ends where the reference does.
        const RefMonth& last = m_ref.last();
        QCOMPARE(QDate(1841, 1, 23).daysTo(last.start) + last.days, qint64(conv.coveredDays()));
    }

    // The edges of the table: an earlier year reads as its first year; days outside it give
    // no text.
    void tableEdges() {
        const Convlunar conv;
        QCOMPARE(conv.Sol2Lun(1841, 1, 23), QString("1841-01-01"));
        QVERIFY(!conv.Sol2Lun(1841, 6, 15).isEmpty());
        QCOMPARE(conv.Sol2Lun(1800, 6, 15), conv.Sol2Lun(1841, 6, 15));
        QCOMPARE(conv.Sol2Lun(-5, 6, 15), conv.Sol2Lun(1841, 6, 15));
        // January 1841 before lunar new year lies before the table.
        QCOMPARE(conv.Sol2Lun(1841, 1, 22), QString());
        QCOMPARE(conv.Sol2Lun(1800, 1, 1), QString());
        // 1804 had a 29 February, 1841 has none.
        QCOMPARE(conv.Sol2Lun(1804, 2, 29), QString());

        const QString last = conv.Lun2Sol(kLunarLastYear, 12, conv.lunarMonthDays(kLunarLastYear, 12));
        QVERIFY(!last.isEmpty());
        const QDate lastDay = QDate::fromString(last, "yyyy-MM-dd");
        QCOMPARE(QDate(1841, 1, 23).daysTo(lastDay) + 1, qint64(conv.coveredDays()));
        QCOMPARE(conv.Sol2Lun(lastDay.year(), lastDay.month(), lastDay.day()),
                 QString("%1-12-%2").arg(kLunarLastYear).arg(conv.lunarMonthDays(kLunarLastYear, 12)));
        const QDate after = lastDay.addDays(1);
        QCOMPARE(conv.Sol2Lun(after.year(), after.month(), after.day()), QString());
        QCOMPARE(conv.Sol2Lun(2200, 1, 1), QString());
        QCOMPARE(conv.Sol2Lun(9999, 12, 31), QString());
    }

    void formats_data() {
        QTest::addColumn<long>("outputFormat");
        QTest::addColumn<long>("format");
        QTest::addColumn<QString>("expected");

        // Lunar 2026-01-01 is solar 2026-02-17.
        QTest::newRow("1") << 1L << 1L << "2026-02-17";
        QTest::newRow("8") << 1L << 8L << "20260217";
        QTest::newRow("128") << 1L << 128L << "02-17-2026";
        QTest::newRow("2048") << 1L << 2048L << "17.02.2026";
        QTest::newRow("4056") << 1L << 4056L << "2026년 2월 17일";
        QTest::newRow("0 uses OutputFormat") << 8L << 0L << "20260217";
        QTest::newRow("unknown code") << 1L << 3L << "2026-02-17";
    }
    void formats() {
        QFETCH(long, outputFormat);
        QFETCH(long, format);
        QFETCH(QString, expected);
        Convlunar conv;
        QCOMPARE(conv.OutputFormat(), 1L);
        conv.SetOutputFormat(outputFormat);
        QCOMPARE(conv.Lun2Sol(2026, 1, 1, format), expected);
    }

    void convertAnniversary_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("toLunar");
        QTest::addColumn<QString>("expected");

        QTest::newRow("to lunar") << "2001-01-24" << true << "2001-01-01";
        QTest::newRow("to lunar, day of this month") << "6" << true << "2026-10-28";
        QTest::newRow("to solar") << "2026-01-01" << false << "2026-02-17";
        QTest::newRow("to solar, a 30th solar February lacks") << "2001-02-30" << false << "2001-03-24";
        QTest::newRow("to lunar, 30 February") << "2001-02-30" << true << "";
        QTest::newRow("to solar, 30th of a 29-day month") << "2026-02-30" << false << "";
        QTest::newRow("not a date") << "it's" << true << "";
        QTest::newRow("before the table") << "1841-01-01" << true << "";
        QTest::newRow("after the table") << "2150-01-01" << false << "";
    }
    void convertAnniversary() {
        QFETCH(QString, text);
        QFETCH(bool, toLunar);
        QFETCH(QString, expected);
        QCOMPARE(ConvertAnniversary(text, toLunar), expected);
        QCOMPARE(m_env->prompt().shown().size(), 0);
    }

    void solarOfThisYear_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        // The clock says 2026.
        QTest::newRow("birthday in 1990") << "1990-01-01" << "2026-02-17";
        QTest::newRow("month and day only") << "01-01" << "2026-02-17";
        QTest::newRow("30th when this year's month has 29") << "1990-02-30" << "2026-04-16";
        QTest::newRow("12th month falls in the next solar year") << "1990-12-01" << "2027-01-08";
        QTest::newRow("day 31") << "1990-01-31" << "";
        QTest::newRow("month 13") << "1990-13-01" << "";
        QTest::newRow("quote") << "1990'01'01" << "";
        QTest::newRow("empty") << "" << "";
    }
    void solarOfThisYear() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(SolarOfThisYear(text), expected);
    }

private:
    QList<RefMonth> m_ref;
};

QTEST_MAIN(TestConvlunar)
#include "tst_convlunar.moc"
