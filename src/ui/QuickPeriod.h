#pragma once

#include <QDate>
#include <QString>

// The quick periods offered by the period window, as plain date arithmetic.
// Weeks run from Sunday to Saturday.
enum class QuickPeriod {
    Today, Yesterday, DayBeforeYesterday, Tomorrow,
    ThisWeek, LastWeek, WeekBeforeLast, NextWeek,
    ThisMonth, LastMonth, MonthBeforeLast, NextMonth,
    ThisYear, LastYear, YearBeforeLast, NextYear,
    Quarter1, Quarter2, Quarter3, Quarter4,
    FirstHalf, SecondHalf,
    Recent1Month, Recent2Months, Recent3Months, Recent6Months, Recent1Year,
    Count,
    None = -1 // dates set by hand
};

struct DatePeriod {
    QDate start;
    QDate end;
    bool operator==(const DatePeriod&) const = default;
};

// Button caption of a quick period ("오늘   日", "1분기", "최근1년" ...).
QString QuickPeriodCaption(QuickPeriod p);

// The period of a quick-period button seen from `today`. The recent periods start on the
// same day that many months (or one year) back, clamped to the end of a shorter month.
DatePeriod QuickPeriodDates(QuickPeriod p, const QDate& today);

// Moves `period` one step backwards (direction < 0) or forwards by the unit of the quick
// period last chosen: a day, a week, a month, a year, a quarter, a half year, or the length
// of the recent period. Whole months stay whole months (ends on the last day). With
// QuickPeriod::None the period moves by its own length in days.
DatePeriod MovePeriod(QuickPeriod unit, const DatePeriod& period, int direction);

// Sunday of the week holding `d`.
QDate WeekStart(const QDate& d);
