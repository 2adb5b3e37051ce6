#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

// Schedule entries (table `schedules`) and the rule that decides on which days an entry
// is due. Shared by the start-up reminder and the schedule windows.
struct ScheduleEntry {
    int seq = 0;
    int ocode = 1;
    QString sdate; // "YYYY-MM-DD"; for repeating entries the first date
    QString stime; // "HH:MM" or empty
    QString note;
    int hidden = 0; // 1 = finished
    int cyclic = 0; // 0 none, 1 monthly, 2 yearly, 3 weekly
};

// Whether an entry with first date `sdate` and repetition `cyclic` is due on `day`:
//  - 0: on its date only;
//  - 1 (monthly): on the day of month of `sdate`. A month without that day (the 31st in a
//    30-day month, the 30th in February) has no occurrence: the entry is not moved to the
//    month's last day;
//  - 2 (yearly): on the month and day of `sdate` (29 February only in leap years);
//  - 3 (weekly): on the weekday of `sdate`;
//  - any other value: never.
// Repeating entries start on their first date: they are not due on earlier days.
// A date that is not a valid "YYYY-MM-DD" is never due.
bool ScheduleDueOn(const QString& sdate, int cyclic, const QDate& day);

// The entries of `ownerCode` due on `day`, one-time entries first, then monthly, yearly
// and weekly ones; within each by date, time and entry number. `openOnly` leaves out
// finished entries (hidden = 1).
QList<ScheduleEntry> SchedulesDueOn(const QDate& day, int ownerCode, bool openOnly);

// Text of today's reminder: for each due, open entry its time, a line break, its note and
// two line breaks. Empty when nothing is due.
QString ScheduleReminderText(const QDate& day, int ownerCode);

// The entries of `ownerCode` shown in month `month` of `year`, by day of month (1..31),
// each day in the order of SchedulesDueOn. `hideFinished` leaves out finished entries.
QMap<int, QList<ScheduleEntry>> SchedulesOfMonth(int year, int month, int ownerCode, bool hideFinished);

// Repetition caption: "없음", "매월", "매년", "매주"; "" for any other value.
QString ScheduleCycleText(int cyclic);

// One part of a typed time: a number from 0 to `max` as two digits, anything else "00".
QString ScheduleTimePart(const QString& typed, int max);

// Writes of the day window. Each returns false when the engine rejected the statement or
// no row was touched. InsertSchedule gives the new entry's seq (0 on failure).
int InsertSchedule(const ScheduleEntry& e);
bool UpdateSchedule(const ScheduleEntry& e);
bool DeleteSchedule(int seq);
// Entries stored with first date `day` of `ownerCode`; repeating entries of other first
// dates stay. The number of rows removed, -1 when the engine refused.
int DeleteSchedulesOfDay(const QDate& day, int ownerCode);
// Entries stored with first date `day` (any repetition) of `ownerCode`.
int CountSchedulesOfDay(const QDate& day, int ownerCode);
