#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The dues schedule of a group, as the group window's combos show it, and its two stored
// codes: repeatclass (which months, 5 characters) and settlementday (which day, 2).
//
// repeatclass: kind digit, then month numbers as one hex digit each (A=10, B=11, C=12),
// padded with "0": every month "00000", odd months "10000", even months "20000",
// quarterly "3" + 4 months, half-yearly "400" + 2 months, yearly "5000" + 1 month.
// settlementday: "01".."28" a day of the month, "29" the last day, or a week code: one
// digit 3..6 for the 1st..4th week followed by the weekday 1 (Sunday) .. 7 (Saturday).
namespace GroupScheduleText {
inline const QString LastDay = QStringLiteral("말   일");
} // namespace GroupScheduleText

struct GroupSchedule {
    enum Kind { None = -1, Monthly = 0, OddMonths, EvenMonths, Quarterly, HalfYearly, Yearly };
    int kind = None;
    QList<int> months;  // one month per shown month combo, 0 when not chosen
    int day = 0;        // 1..28 a day of the month, 29 the last day, 0 none
    int week = 0;       // 1..4 when the day is a week choice (then day is 0)
    int weekday = 0;    // 1 (일) .. 7 (토) with a week choice, 0 none

    bool operator==(const GroupSchedule&) const = default;
};

// Captions of the kinds in cmbYear, index = kind (0..5).
QStringList GroupKindNames();
// Weekday names of cmbWeek, index + 1 = weekday number.
QStringList GroupWeekdayNames();
// Entries of cmbDay: "1".."28", "말   일", "1 째주".."4 째주".
QStringList GroupDayChoices();
// How many month combos a kind shows and which months combo i offers.
int GroupMonthComboCount(int kind);
QList<int> GroupMonthsOffered(int kind, int combo);

QString EncodeRepeatClass(const GroupSchedule& s);
QString EncodeSettlementDay(const GroupSchedule& s);
// Reads both codes back; an empty or unknown repeatclass gives kind None.
GroupSchedule DecodeGroupSchedule(const QString& repeatClass, const QString& settlementDay);

// "분기별 2월 5월 8월 11월 말일" ...; empty when repeatclass is empty.
QString GroupScheduleDescription(const QString& repeatClass, const QString& settlementDay);

// The checks of a group save that need no database, in order: the name, the schedule's
// months and day (dues need a schedule), the first-week rule. The message of the first
// check that fails, or "" when the input may be saved.
QString CheckGroupInput(const QString& name, const GroupSchedule& s, double amount);
