#pragma once

#include <QString>

class QDate;

// Typed dates and times. Every window and input control normalises what the user typed
// through these functions. The pure variants return the normalised text (empty when the
// input is not valid) and never show anything; the Check variants also show the
// information box explaining the accepted forms when asked to.

// Date-text rule. The typed text is read by its number of characters:
//   1-2  a day of the current month ("5" -> this month's 5th)
//   3-4  month and day of the current year ("101" -> Jan 1, "1001" -> Oct 1)
//   6    YYMMDD in the 2000s ("040101" -> 2004-01-01)
//   8    YYYYMMDD
//   else taken as written: YYYY-MM-DD (also with "/" or "." and one-digit month/day).
// The short forms must be digits only. Returns "YYYY-MM-DD", or "" when the result is not
// a real calendar date (30 February, month 13, day 0, letters, 7 or 9 characters ...).
// Blanks around the text are ignored. "Current" means Clock::today().
QString NormalizeDate(const QString& text);

// The year, month and day a typed text names by the same rule, before checking that they
// form a real calendar date (only month 1..12 and day 1..31 are required, so a lunar
// "2001-02-30" passes). False when the text has none of the accepted forms.
bool SplitDateText(const QString& text, int& year, int& month, int& day);

// True when NormalizeDate(text) gives a date.
bool IsDateText(const QString& text);

// NormalizeDate plus, when the text is not a date and `showMessage` is set, the
// information box DateFormatMessage(text). Returns "" for an invalid text.
QString CheckDateText(const QString& text, bool showMessage = true);

// "[text]는 날짜형식이 아닙니다." and the list of accepted forms.
QString DateFormatMessage(const QString& text);

// Reads a strict "YYYY-MM-DD" text (no other forms); an invalid QDate when it is not one.
QDate DateFromText(const QString& text);

// Time-text rule: "HH:MM" or "H:MM" with a colon, "HHMM" or "HMM" without
// ("01:05", "0105", "105" -> "01:05"; "14:25", "1425" -> "14:25"). Hours 00-23, minutes
// 00-59. With `shortIsHour` a text of one or two digits is an hour ("9" -> "09:00"), as the
// time input fields want it; without it such a text is not a time. Returns "" when invalid.
QString NormalizeTime(const QString& text, bool shortIsHour = false);

// NormalizeTime plus the information box TimeFormatMessage(text) when invalid and asked.
QString CheckTimeText(const QString& text, bool showMessage = true, bool shortIsHour = false);

// "[text]는 시간형식이 아닙니다." and the examples of accepted forms.
QString TimeFormatMessage(const QString& text);

// Week of the month of `date` in calendar weeks starting on Sunday; the week holding the
// 1st is week 1 (1..6). 0 for an invalid date.
int WeekOfMonth(const QDate& date);

// Week-of-month text of a "YYYY-MM-DD" date: "12월 1주차", with `withYear` "2026-12월 1주차".
// A text that is not a date gives text + "는 올바른 날짜형식이 아닙니다.".
QString WeekOfMonthText(const QString& dateText, bool withYear = false);
