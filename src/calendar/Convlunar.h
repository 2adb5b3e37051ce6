#pragma once

#include "calendar/LunarTable.h"

#include <QString>

#include <array>
#include <cstdint>

// Converts between solar (Gregorian) and Korean lunar dates with a month table covering
// lunar years 1841 .. 2100 (solar 1841-01-23 .. the last day of lunar 2100). Results are
// texts in the chosen format; a date that is not valid or lies outside the table gives "".
// Lunar results carry no leap-month mark: a day of a leap month is reported with the number
// of the month the leap month follows.
class Convlunar {
public:
    // Result formats. Default asks for OutputFormat().
    enum Format : long {
        Default = 0,
        DashYMD = 1,        // 2026-02-07
        SlashYMD = 2,       // 2026/02/07
        DotYMD = 4,         // 2026.02.07
        PlainYMD = 8,       // 20260207
        DashYMDNoFill = 16, // 2026-2-7
        SlashYMDNoFill = 32,
        DotYMDNoFill = 64,
        DashMDY = 128,    // 02-07-2026
        SlashMDY = 256,   // 02/07/2026
        DashDMY = 512,    // 07-02-2026
        SlashDMY = 1024,  // 07/02/2026
        DotDMY = 2048,    // 07.02.2026
        KoreanYMD = 4056, // 2026년 2월 7일
    };

    Convlunar();

    // Solar leap year: divisible by 4 and not by 100, or by 400.
    static bool IsYoon(int year);

    // Lunar date of a solar date. A year before 1841 is taken as 1841.
    QString Sol2Lun(int year, int month, int day, long format = Default) const;
    // Solar date of a lunar date; in a month followed by a leap month the month itself is
    // meant (the earlier of the two dates). Day 30 of a 29-day month is not a date.
    QString Lun2Sol(int year, int month, int day, long format = Default) const;

    long OutputFormat() const { return m_outputFormat; }
    void SetOutputFormat(long format) { m_outputFormat = format; }

    // The same conversions with numbers. Return false for an invalid or out-of-range date.
    bool solarToLunar(int year, int month, int day, int& lunarYear, int& lunarMonth, int& lunarDay,
                      bool* inLeapMonth = nullptr) const;
    bool lunarToSolar(int year, int month, int day, int& solarYear, int& solarMonth,
                      int& solarDay) const;

    // Code of lunar month (year, month), 0 outside the table.
    int monthCode(int year, int month) const;
    // Days of lunar month (year, month) itself, without a following leap month; 0 outside.
    int lunarMonthDays(int year, int month) const;
    // Days of a solar month.
    static int solarMonthDays(int year, int month);
    // Number of days the table covers.
    int coveredDays() const { return m_coveredDays; }

    QString formatDate(int year, int month, int day, long format) const;

private:
    static constexpr int kMonthCount = kLunarYearCount * 12;
    std::array<std::uint8_t, kMonthCount> m_table{};
    std::array<int, kLunarYearCount> m_yearDays{};
    int m_coveredDays = 0;
    long m_outputFormat = DashYMD;
};

// Solar -> lunar (toLunar) or lunar -> solar of a typed date, in "YYYY-MM-DD". The text is
// read by the date-text rule; a lunar date may be a day that solar months lack (02-30).
// "" when the text is not a date or the conversion is outside the table.
QString ConvertAnniversary(const QString& dateText, bool toLunar);

// Solar date, "YYYY-MM-DD", of this year's lunar month and day taken from `lunarDateText`
// ("YYYY-MM-DD", "MM-DD" or "YYYYMMDD"). Day 30 in a year whose month has 29 days gives
// the 29th. "" when the text holds no month and day or the year is outside the table.
QString SolarOfThisYear(const QString& lunarDateText);
