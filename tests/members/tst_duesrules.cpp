// Dues rules: which months are due, the due day of every settlement code, feestart and the
// state of a member's month.
#include "EnvTest.h"

#include "calendar/DateText.h"
#include "members/DuesRules.h"

#include <QtTest>

class TestDuesRules : public EnvTest {
    Q_OBJECT
public:
    TestDuesRules() : EnvTest(false) {}

private slots:
    void dueMonths_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("months"); // the due months as 12 flags
        QTest::newRow("every month") << "00000" << "111111111111";
        QTest::newRow("odd months") << "10000" << "101010101010";
        QTest::newRow("even months") << "20000" << "010101010101";
        QTest::newRow("quarterly 2 5 8 11") << "3258B" << "010010010010";
        QTest::newRow("quarterly 3 6 9 12") << "3369C" << "001001001001";
        QTest::newRow("half-yearly 1 and 7") << "40017" << "100000100000";
        QTest::newRow("yearly December") << "5000C" << "000000000001";
        QTest::newRow("no dues") << "" << "000000000000";
        QTest::newRow("short code") << "300" << "000000000000";
        QTest::newRow("unknown kind") << "90000" << "000000000000";
        QTest::newRow("month digits D and 0 are no month") << "3D000" << "000000000000";
    }
    void dueMonths() {
        QFETCH(QString, code);
        QFETCH(QString, months);
        QString got;
        for (int m = 1; m <= 12; ++m)
            got += IsDueMonth(code, m) ? '1' : '0';
        QCOMPARE(got, months);
    }

    void dueDay_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("due");
        QTest::newRow("last day, leap February") << "29" << "2028-02" << "2028-02-29";
        QTest::newRow("last day, February 2100 is no leap") << "29" << "2100-02" << "2100-02-28";
        QTest::newRow("2nd week Monday, month starts Wednesday") << "42" << "2026-04" << "2026-04-06";
        QTest::newRow("1st week Saturday") << "37" << "2026-04" << "2026-04-04";
        QTest::newRow("1st week Saturday, month starts Saturday") << "37" << "2026-08" << "2026-08-01";
        QTest::newRow("4th week Saturday") << "67" << "2026-08" << "2026-08-22";
        QTest::newRow("1st week Monday missing: last day") << "32" << "2026-04" << "2026-04-30";
        QTest::newRow("1st week Monday present") << "32" << "2026-06" << "2026-06-01";
        QTest::newRow("00: last day") << "00" << "2026-02" << "2026-02-28";
        QTest::newRow("empty: last day") << "" << "2026-11" << "2026-11-30";
        QTest::newRow("30 in February: last day") << "30" << "2026-02" << "2026-02-28";
        QTest::newRow("letters: last day") << "ab" << "2026-03" << "2026-03-31";
    }
    void dueDay() {
        QFETCH(QString, code);
        QFETCH(QString, month);
        QFETCH(QString, due);
        QCOMPARE(DueDate(code, month.left(4).toInt(), month.mid(5).toInt()).toString(Qt::ISODate), due);
    }

    // Every code, every month of 2026-2028 and February 2100, against a count made without the
    // formula: the day of the month standing in calendar row N - 2 under weekday w.
    void everyCodeOverThreeYears_data() {
        QTest::addColumn<int>("year");
        for (int y : {2026, 2027, 2028, 2100})
            QTest::newRow(qPrintable(QString::number(y))) << y;
    }
    void everyCodeOverThreeYears() {
        QFETCH(int, year);
        QStringList codes;
        for (int d = 1; d <= 29; ++d)
            codes << QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0'));
        for (int n = 3; n <= 6; ++n)
            for (int w = 1; w <= 7; ++w)
                codes << QString::number(n * 10 + w);
        for (int month = 1; month <= 12; ++month) {
            if (year == 2100 && month != 2) continue;
            const QDate first(year, month, 1);
            for (const QString& code : codes) {
                const int v = code.toInt();
                QDate want(year, month, first.daysInMonth());
                if (v >= 31) {
                    for (QDate d = first; d.month() == month; d = d.addDays(1))
                        if (WeekOfMonth(d) == v / 10 - 2 && d.dayOfWeek() % 7 + 1 == v % 10) want = d;
                } else if (v < 29) {
                    want = QDate(year, month, v);
                }
                QVERIFY2(DueDate(code, year, month) == want,
                         qPrintable(code + QLatin1Char(' ') + first.toString(Qt::ISODate)));
            }
        }
    }

    void monthState_data() {
        QTest::addColumn<QString>("feeStart");
        QTest::addColumn<int>("month");
        QTest::addColumn<bool>("paid");
        QTest::addColumn<int>("state");
        const int notDue = int(DuesState::NotDue), paid = int(DuesState::Paid),
                  overdue = int(DuesState::Overdue);
        // Odd months, due on the 10th; today 2026-12-06 is fixed by TestEnv.
        QTest::newRow("even month is not due") << "2026-01-01" << 2 << false << notDue;
        QTest::newRow("past odd month unpaid is overdue") << "2026-01-01" << 3 << false << overdue;
        QTest::newRow("paid wins") << "2026-01-01" << 3 << true << paid;
        QTest::newRow("before feestart's month not owed") << "2026-05-31" << 3 << false << notDue;
        QTest::newRow("feestart's own month owed") << "2026-05-31" << 5 << false << overdue;
        QTest::newRow("empty feestart owes") << "" << 1 << false << overdue;
        QTest::newRow("november is past too") << "2026-01-01" << 11 << false << overdue;
        QTest::newRow("feestart in a later year") << "2027-01-01" << 11 << false << notDue;
    }
    void monthState() {
        QFETCH(QString, feeStart);
        QFETCH(int, month);
        QFETCH(bool, paid);
        QFETCH(int, state);
        QCOMPARE(int(DuesMonthState("10000", "10", feeStart, 2026, month, paid, QDate(2026, 12, 6))),
                 state);
        // The due day itself is not yet overdue.
        QCOMPARE(DuesMonthState("00000", "06", {}, 2026, 12, false, QDate(2026, 12, 6)),
                 DuesState::Unpaid);
        QCOMPARE(DuesMonthState("00000", "06", {}, 2026, 12, false, QDate(2026, 12, 7)),
                 DuesState::Overdue);
    }
};

QTEST_GUILESS_MAIN(TestDuesRules)
#include "tst_duesrules.moc"
