#include "calendar/Convlunar.h"

#include "core/Clock.h"
#include "calendar/DateText.h"

#include <QDate>
#include <QRegularExpression>

namespace {

// Days of a month code together with the leap month that follows it.
constexpr int kCodeDays[7] = {0, 29, 30, 58, 59, 59, 60};
// Days of the month itself (a) and of its leap month (b) per code.
constexpr int kOwnDays[7] = {0, 29, 30, 29, 29, 30, 30};
constexpr int kLeapDays[7] = {0, 0, 0, 29, 30, 29, 30};

constexpr int kSolarDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Day number of solar 1841-01-22: day 1 of the table is 1841-01-23 (lunar 1841-01-01).
constexpr long kTableStartDayNumber = 672068;
// Solar day-of-year of lunar 1841-01-01, minus one.
constexpr int kFirstNewYearOffset = 22;

QString pad(int v, int width) {
    return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0'));
}

} // namespace

Convlunar::Convlunar() {
    for (int y = 0; y < kLunarYearCount; ++y) {
        const char* codes = kLunarYearCodes[y];
        int days = 0;
        for (int m = 0; m < 12; ++m) {
            const int code = codes[m] - '0';
            m_table[y * 12 + m] = std::uint8_t(code);
            days += kCodeDays[code];
        }
        m_yearDays[y] = days;
        m_coveredDays += days;
    }
}

bool Convlunar::IsYoon(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int Convlunar::solarMonthDays(int year, int month) {
    if (month < 1 || month > 12) return 0;
    if (month == 2) return IsYoon(year) ? 29 : 28;
    return kSolarDays[month - 1];
}

int Convlunar::monthCode(int year, int month) const {
    if (year < kLunarFirstYear || year > kLunarLastYear || month < 1 || month > 12) return 0;
    return m_table[(year - kLunarFirstYear) * 12 + month - 1];
}

int Convlunar::lunarMonthDays(int year, int month) const {
    return kOwnDays[monthCode(year, month)];
}

bool Convlunar::lunarToSolar(int year, int month, int day, int& solarYear, int& solarMonth,
                             int& solarDay) const {
    const int own = lunarMonthDays(year, month);
    if (own == 0 || day < 1 || day > own) return false;

    // Days from the table's first day (counted as day 1 + offset) to the lunar date.
    long t = 0;
    const int yi = year - kLunarFirstYear;
    for (int i = 0; i < yi; ++i)
        t += m_yearDays[i];
    for (int m = 0; m < month - 1; ++m)
        t += kCodeDays[m_table[yi * 12 + m]];
    t += day + kFirstNewYearOffset;

    int y = kLunarFirstYear;
    for (;;) {
        const int n = IsYoon(y) ? 366 : 365;
        if (t <= n) break;
        t -= n;
        ++y;
    }
    int m = 1;
    while (t > solarMonthDays(y, m)) {
        t -= solarMonthDays(y, m);
        ++m;
    }
    solarYear = y;
    solarMonth = m;
    solarDay = int(t);
    return true;
}

bool Convlunar::solarToLunar(int year, int month, int day, int& lunarYear, int& lunarMonth,
                             int& lunarDay, bool* inLeapMonth) const {
    if (year < kLunarFirstYear) year = kLunarFirstYear;
    if (month < 1 || month > 12 || day < 1 || day > solarMonthDays(year, month)) return false;

    const long y1 = year - 1;
    long n = y1 * 365 + y1 / 4 - y1 / 100 + y1 / 400;
    for (int m = 1; m < month; ++m)
        n += solarMonthDays(year, m);
    n += day;
    long t = n - kTableStartDayNumber;
    // Before lunar 1841-01-01 or after the table's last day: not covered.
    if (t < 1 || t > m_coveredDays) return false;

    int yi = 0;
    while (t > m_yearDays[yi]) {
        t -= m_yearDays[yi];
        ++yi;
    }
    bool leap = false;
    int m = 0;
    for (;; ++m) {
        const int code = m_table[yi * 12 + m];
        const int a = kOwnDays[code];
        const int b = kLeapDays[code];
        if (t <= a) break;
        if (t <= a + b) {
            t -= a;
            leap = true;
            break;
        }
        t -= a + b;
    }
    lunarYear = kLunarFirstYear + yi;
    lunarMonth = m + 1;
    lunarDay = int(t);
    if (inLeapMonth) *inLeapMonth = leap;
    return true;
}

QString Convlunar::formatDate(int year, int month, int day, long format) const {
    if (format == Default) format = m_outputFormat;
    const QString y = pad(year, 4);
    const QString mm = pad(month, 2);
    const QString dd = pad(day, 2);
    const QString m1 = QString::number(month);
    const QString d1 = QString::number(day);
    switch (format) {
    case SlashYMD:
        return y + u'/' + mm + u'/' + dd;
    case DotYMD:
        return y + u'.' + mm + u'.' + dd;
    case PlainYMD:
        return y + mm + dd;
    case DashYMDNoFill:
        return y + u'-' + m1 + u'-' + d1;
    case SlashYMDNoFill:
        return y + u'/' + m1 + u'/' + d1;
    case DotYMDNoFill:
        return y + u'.' + m1 + u'.' + d1;
    case DashMDY:
        return mm + u'-' + dd + u'-' + y;
    case SlashMDY:
        return mm + u'/' + dd + u'/' + y;
    case DashDMY:
        return dd + u'-' + mm + u'-' + y;
    case SlashDMY:
        return dd + u'/' + mm + u'/' + y;
    case DotDMY:
        return dd + u'.' + mm + u'.' + y;
    case KoreanYMD:
        return y + QStringLiteral("년 ") + m1 + QStringLiteral("월 ") + d1 + QStringLiteral("일");
    default:
        return y + u'-' + mm + u'-' + dd; // DashYMD and anything unknown
    }
}

QString Convlunar::Sol2Lun(int year, int month, int day, long format) const {
    int y = 0, m = 0, d = 0;
    if (!solarToLunar(year, month, day, y, m, d)) return {};
    return formatDate(y, m, d, format);
}

QString Convlunar::Lun2Sol(int year, int month, int day, long format) const {
    int y = 0, m = 0, d = 0;
    if (!lunarToSolar(year, month, day, y, m, d)) return {};
    return formatDate(y, m, d, format);
}

QString ConvertAnniversary(const QString& dateText, bool toLunar) {
    int y = 0, m = 0, d = 0;
    if (!SplitDateText(dateText, y, m, d)) return {};
    const Convlunar conv;
    if (toLunar) {
        if (!QDate(y, m, d).isValid()) return {};
        return conv.Sol2Lun(y, m, d, Convlunar::DashYMD);
    }
    return conv.Lun2Sol(y, m, d, Convlunar::DashYMD);
}

QString SolarOfThisYear(const QString& lunarDateText) {
    static const QRegularExpression sep(
        QStringLiteral("^(?:\\d{4}[-/.])?(\\d{1,2})[-/.](\\d{1,2})$"));
    static const QRegularExpression plain(QStringLiteral("^\\d{4}(\\d{2})(\\d{2})$"));
    const QString s = lunarDateText.trimmed();
    auto match = sep.match(s);
    if (!match.hasMatch()) match = plain.match(s);
    if (!match.hasMatch()) return {};
    const int month = match.captured(1).toInt();
    int day = match.captured(2).toInt();
    const int year = Clock::today().year();
    const Convlunar conv;
    const int own = conv.lunarMonthDays(year, month);
    if (own == 0 || day < 1 || day > 30) return {};
    // A 30th kept for a month that has only 29 days this year falls on its last day.
    if (day > own) day = own;
    return conv.Lun2Sol(year, month, day, Convlunar::DashYMD);
}
