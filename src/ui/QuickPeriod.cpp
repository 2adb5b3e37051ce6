#include "ui/QuickPeriod.h"

namespace {

QDate monthStart(const QDate& d) { return QDate(d.year(), d.month(), 1); }
QDate monthEnd(const QDate& d) { return QDate(d.year(), d.month(), d.daysInMonth()); }

// Months a step of a month-based unit covers; 0 for day-based units.
int unitMonths(QuickPeriod p) {
    switch (p) {
    case QuickPeriod::ThisMonth:
    case QuickPeriod::LastMonth:
    case QuickPeriod::MonthBeforeLast:
    case QuickPeriod::NextMonth:
    case QuickPeriod::Recent1Month:
        return 1;
    case QuickPeriod::Recent2Months:
        return 2;
    case QuickPeriod::Quarter1:
    case QuickPeriod::Quarter2:
    case QuickPeriod::Quarter3:
    case QuickPeriod::Quarter4:
    case QuickPeriod::Recent3Months:
        return 3;
    case QuickPeriod::FirstHalf:
    case QuickPeriod::SecondHalf:
    case QuickPeriod::Recent6Months:
        return 6;
    case QuickPeriod::ThisYear:
    case QuickPeriod::LastYear:
    case QuickPeriod::YearBeforeLast:
    case QuickPeriod::NextYear:
    case QuickPeriod::Recent1Year:
        return 12;
    default:
        return 0;
    }
}

} // namespace

QDate WeekStart(const QDate& d) { return d.addDays(-(d.dayOfWeek() % 7)); } // Sunday = 7 -> 0

QString QuickPeriodCaption(QuickPeriod p) {
    static const char* const captions[] = {
        "오늘   日", "어제", "그제", "내일",
        "이번주", "지난주", "지지난주", "다음주",
        "이번달 月", "지난달", "지지난달", "다음달",
        "올해   年", "지난해", "지지난해", "다음해",
        "1분기", "2분기", "3분기", "4분기",
        "전반기", "후반기",
        "최근1개월", "최근2개월", "최근3개월", "최근6개월", "최근1년",
    };
    const int i = int(p);
    if (i < 0 || i >= int(QuickPeriod::Count)) return {};
    return QString::fromUtf8(captions[i]);
}

DatePeriod QuickPeriodDates(QuickPeriod p, const QDate& today) {
    const int y = today.year();
    auto day = [](const QDate& d) { return DatePeriod{d, d}; };
    auto week = [](const QDate& d) {
        const QDate s = WeekStart(d);
        return DatePeriod{s, s.addDays(6)};
    };
    auto month = [](const QDate& d) { return DatePeriod{monthStart(d), monthEnd(d)}; };
    auto year = [](int yy) { return DatePeriod{QDate(yy, 1, 1), QDate(yy, 12, 31)}; };
    auto months = [y](int firstMonth, int n) {
        const QDate s(y, firstMonth, 1);
        return DatePeriod{s, s.addMonths(n).addDays(-1)};
    };
    switch (p) {
    case QuickPeriod::Today: return day(today);
    case QuickPeriod::Yesterday: return day(today.addDays(-1));
    case QuickPeriod::DayBeforeYesterday: return day(today.addDays(-2));
    case QuickPeriod::Tomorrow: return day(today.addDays(1));
    case QuickPeriod::ThisWeek: return week(today);
    case QuickPeriod::LastWeek: return week(today.addDays(-7));
    case QuickPeriod::WeekBeforeLast: return week(today.addDays(-14));
    case QuickPeriod::NextWeek: return week(today.addDays(7));
    case QuickPeriod::ThisMonth: return month(today);
    case QuickPeriod::LastMonth: return month(monthStart(today).addMonths(-1));
    case QuickPeriod::MonthBeforeLast: return month(monthStart(today).addMonths(-2));
    case QuickPeriod::NextMonth: return month(monthStart(today).addMonths(1));
    case QuickPeriod::ThisYear: return year(y);
    case QuickPeriod::LastYear: return year(y - 1);
    case QuickPeriod::YearBeforeLast: return year(y - 2);
    case QuickPeriod::NextYear: return year(y + 1);
    case QuickPeriod::Quarter1: return months(1, 3);
    case QuickPeriod::Quarter2: return months(4, 3);
    case QuickPeriod::Quarter3: return months(7, 3);
    case QuickPeriod::Quarter4: return months(10, 3);
    case QuickPeriod::FirstHalf: return months(1, 6);
    case QuickPeriod::SecondHalf: return months(7, 6);
    case QuickPeriod::Recent1Month: return {today.addMonths(-1), today};
    case QuickPeriod::Recent2Months: return {today.addMonths(-2), today};
    case QuickPeriod::Recent3Months: return {today.addMonths(-3), today};
    case QuickPeriod::Recent6Months: return {today.addMonths(-6), today};
    case QuickPeriod::Recent1Year: return {today.addYears(-1), today};
    default: return day(today);
    }
}

DatePeriod MovePeriod(QuickPeriod unit, const DatePeriod& period, int direction) {
    if (!period.start.isValid() || !period.end.isValid()) return period;
    const int sign = direction < 0 ? -1 : 1;
    const int n = unitMonths(unit);
    if (n > 0) {
        const bool wholeMonths = period.start.day() == 1 && period.end == monthEnd(period.end);
        if (wholeMonths) {
            const QDate s = period.start.addMonths(sign * n);
            const int span = (period.end.year() - period.start.year()) * 12 + period.end.month()
                             - period.start.month() + 1;
            return {s, s.addMonths(span).addDays(-1)};
        }
        return {period.start.addMonths(sign * n), period.end.addMonths(sign * n)};
    }
    qint64 days = 1;
    switch (unit) {
    case QuickPeriod::ThisWeek:
    case QuickPeriod::LastWeek:
    case QuickPeriod::WeekBeforeLast:
    case QuickPeriod::NextWeek:
        days = 7;
        break;
    case QuickPeriod::None:
        days = qMax<qint64>(1, period.start.daysTo(period.end) + 1);
        break;
    default:
        break;
    }
    return {period.start.addDays(sign * days), period.end.addDays(sign * days)};
}
