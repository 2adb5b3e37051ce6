#include "EnvTest.h"

#include "calendar/DateText.h"

#include <QDate>
#include <QtTest>

// Typed dates and times with the clock fixed at 2026-12-06 (a Sunday).
class TestDateText : public EnvTest {
    Q_OBJECT
public:
    TestDateText() : EnvTest(false) {}

private slots:
    // A day of this month, four digits, YYMMDD, eight digits, 29 February of 1900 and 2000,
    // seven digits and empty are typed into a date input in its test; three-digit times and
    // an hour alone into a time input.
    void normalizeDate_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* typed, const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(typed) << QString::fromUtf8(expected);
        };
        row("day 0", "0", "");
        row("day 32", "32", "");
        row("three digits: Jan 1", "101", "2026-01-01");
        row("month 13", "1301", "");
        row("30 February, short form", "0230", "");
        row("29 Feb 2100 (not leap)", "2100-02-29", "");
        row("30 February written", "2026-02-30", "");
        row("month 13 written", "2026-13-01", "");
        row("year 0", "00000101", "");
        row("written with slashes, no fill", "2004/1/1", "2004-01-01");
        row("8 characters with separators", "2004-1-1", "2004-01-01");
        row("9 digits", "200401011", "");
        row("letters", "abcd", "");
        row("digits and a letter", "12a", "");
        row("quote inside", "2004'01'01", "");
        row("blanks around", " 0101 ", "2026-01-01");
    }
    void normalizeDate() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(NormalizeDate(typed), expected);
        QCOMPARE(IsDateText(typed), !expected.isEmpty());
        QCOMPARE(m_env->prompt().shown().size(), 0);
    }

    void normalizeTime_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("shortIsHour");
        QTest::addColumn<QString>("expected");

        QTest::newRow("01:05") << "01:05" << false << "01:05";
        QTest::newRow("0105") << "0105" << false << "01:05";
        QTest::newRow("14:25") << "14:25" << false << "14:25";
        QTest::newRow("1425") << "1425" << false << "14:25";
        QTest::newRow("last minute") << "23:59" << false << "23:59";
        QTest::newRow("hour 24") << "2400" << false << "";
        QTest::newRow("minute 60") << "1260" << false << "";
        QTest::newRow("one digit") << "5" << false << "";
        QTest::newRow("colon only") << ":" << false << "";
        QTest::newRow("one minute digit") << "14:5" << false << "";
        QTest::newRow("quote") << "14'25" << false << "";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("two-digit hour only") << "23" << true << "23:00";
        QTest::newRow("hour only 24") << "24" << true << "";
    }
    void normalizeTime() {
        QFETCH(QString, typed);
        QFETCH(bool, shortIsHour);
        QFETCH(QString, expected);
        QCOMPARE(NormalizeTime(typed, shortIsHour), expected);
    }

    // A message only for text that is no date or time, and only when asked for.
    void messagesOnlyWhenAskedAndInvalid() {
        auto& p = m_env->prompt();
        QCOMPARE(CheckDateText("1001"), QString("2026-10-01"));
        QCOMPARE(CheckDateText("0230", false), QString());
        QCOMPARE(CheckTimeText("1425"), QString("14:25"));
        QCOMPARE(CheckTimeText("2400", false), QString());
        QCOMPARE(p.shown().size(), 0);

        QCOMPARE(CheckDateText("it's"), QString());
        QCOMPARE(CheckTimeText("2'4"), QString());
        QCOMPARE(p.shown().size(), 2);
        QCOMPARE(p.shown().at(0).icon, Prompt::Icon::Information);
        QCOMPARE(p.shown().at(1).icon, Prompt::Icon::Information);
        QCOMPARE(p.texts(), QStringList({"[it's]는 날짜형식이 아닙니다.             \n\n"
                                         " 가능한 형식은 아래와 같습니다.\n\n"
                                         "   * 2004-01-01\n"
                                         "   * 20040101\n"
                                         "   * 040101\n"
                                         "   * 0101\n"
                                         "   * 101 (※10월1일은 1001)\n"
                                         "   * 1 (당월의 일자지정시)",
                                         "[2'4]는 시간형식이 아닙니다.\n"
                                         "시:분 방식으로 입력하세요.\n"
                                         "예) 14:25 또는 1425\n"
                                         "     01:05 또는 0105 또는 105"}));
    }

    void weekOfMonth_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("week");

        // December 2026 starts on a Tuesday.
        QTest::newRow("1st on a Tuesday") << QDate(2026, 12, 1) << 1;
        QTest::newRow("Saturday of week 1") << QDate(2026, 12, 5) << 1;
        QTest::newRow("next Sunday starts week 2") << QDate(2026, 12, 6) << 2;
        QTest::newRow("31st") << QDate(2026, 12, 31) << 5;
        // August 2026 starts on a Saturday: six weeks.
        QTest::newRow("1st on a Saturday") << QDate(2026, 8, 1) << 1;
        QTest::newRow("2nd is already week 2") << QDate(2026, 8, 2) << 2;
        QTest::newRow("31st in week 6") << QDate(2026, 8, 31) << 6;
        // February 2026 starts on a Sunday: exactly four weeks.
        QTest::newRow("Feb 1st on a Sunday") << QDate(2026, 2, 1) << 1;
        QTest::newRow("Feb 7th Saturday") << QDate(2026, 2, 7) << 1;
        QTest::newRow("Feb 28th") << QDate(2026, 2, 28) << 4;
        QTest::newRow("invalid") << QDate() << 0;
    }
    void weekOfMonth() {
        QFETCH(QDate, date);
        QFETCH(int, week);
        QCOMPARE(WeekOfMonth(date), week);
    }

    void weekOfMonthText() {
        QCOMPARE(WeekOfMonthText("2026-12-06"), QString("12월 2주차"));
        QCOMPARE(WeekOfMonthText("2026-08-31", true), QString("2026-8월 6주차"));
        QCOMPARE(WeekOfMonthText("2026-02-30"), QString("2026-02-30는 올바른 날짜형식이 아닙니다."));
        QCOMPARE(WeekOfMonthText("it's"), QString("it's는 올바른 날짜형식이 아닙니다."));
        QCOMPARE(WeekOfMonthText(""), QString("는 올바른 날짜형식이 아닙니다."));
    }

};

QTEST_MAIN(TestDateText)
#include "tst_datetext.moc"
