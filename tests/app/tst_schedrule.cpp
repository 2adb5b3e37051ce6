#include "EnvTest.h"

#include "tools/Schedules.h"
#include "db/Database.h"

#include <QtTest>

class tst_schedrule : public EnvTest {
    Q_OBJECT

    static void addSchedule(int ocode, const QString& sdate, const QString& stime, const QString& note,
                            int hidden, int cyclic) {
        QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO schedules (ocode, sdate, stime, note, hidden, cyclic)"
                                        " VALUES (?, ?, ?, ?, ?, ?)"),
                         {ocode, sdate, stime, note, hidden, cyclic}), 1);
    }

private slots:
    // The month view of the schedule window and the reminders below show where entries
    // fall (the 31st, 29 February, weeks across months); here the rest of the rule.
    void dueOn_data() {
        QTest::addColumn<QString>("sdate");
        QTest::addColumn<int>("cyclic");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("due");

        QTest::newRow("monthly on its first date") << "2026-12-06" << 1 << QDate(2026, 12, 6) << true;
        QTest::newRow("yearly same month and day") << "1990-05-05" << 2 << QDate(2026, 5, 5) << true;
        QTest::newRow("yearly same day other month") << "1990-05-05" << 2 << QDate(2026, 6, 5) << false;
        QTest::newRow("yearly 29 Feb not on 28 Feb") << "2024-02-29" << 2 << QDate(2026, 2, 28) << false;
        QTest::newRow("weekly other weekday") << "2026-11-02" << 3 << QDate(2026, 12, 6) << false;
        QTest::newRow("unknown repetition 4") << "2026-12-06" << 4 << QDate(2026, 12, 6) << false;
        QTest::newRow("empty date") << "" << 1 << QDate(2026, 12, 6) << false;
        QTest::newRow("garbage date") << "06-12-2026" << 1 << QDate(2026, 12, 6) << false;
    }
    void dueOn() {
        QFETCH(QString, sdate);
        QFETCH(int, cyclic);
        QFETCH(QDate, day);
        QFETCH(bool, due);
        QCOMPARE(ScheduleDueOn(sdate, cyclic, day), due);
    }

    void emptyTableGivesNoText() { QCOMPARE(ScheduleReminderText(QDate(2026, 12, 6), 1), QString()); }

    // Order: one-time first, then monthly, yearly, weekly; by date, time, entry number.
    // Finished entries and other users' entries never appear.
    void reminderOrderAndFilter() {
        addSchedule(1, "2026-12-06", "14:00", "yearly", 0, 2);
        addSchedule(1, "2020-12-06", "", "yearly old, no time", 0, 2);
        addSchedule(1, "2026-12-06", "09:30", "once late", 0, 0);
        addSchedule(1, "2026-12-06", "", "once no time", 0, 0);
        addSchedule(1, "2026-11-06", "08:00", "monthly", 0, 1);
        addSchedule(1, "2026-12-06", "07:00", "finished", 1, 0);
        addSchedule(2, "2026-12-06", "07:00", "other user", 0, 0);
        addSchedule(1, "2026-12-05", "07:00", "yesterday", 0, 0);
        addSchedule(1, "2026-11-29", "19:00", "weekly sunday", 0, 3);
        addSchedule(1, "2026-11-30", "19:00", "weekly monday", 0, 3);

        QCOMPARE(ScheduleReminderText(QDate(2026, 12, 6), 1),
                 QStringLiteral("\nonce no time\n\n"
                                "09:30\nonce late\n\n"
                                "08:00\nmonthly\n\n"
                                "\nyearly old, no time\n\n"
                                "14:00\nyearly\n\n"
                                "19:00\nweekly sunday\n\n"));

        // Finished entries stay visible where they are asked for.
        QList<int> hidden;
        for (const ScheduleEntry& e : SchedulesDueOn(QDate(2026, 12, 6), 1, false)) hidden << e.hidden;
        QCOMPARE(hidden.count(1), 1);
    }
};

QTEST_MAIN(tst_schedrule)
#include "tst_schedrule.moc"
