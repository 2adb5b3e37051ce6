#pragma once

#include <QDate>
#include <QString>

// When a group's dues fall due, from the two stored schedule codes (see GroupSchedule.h).
//
// Due months by repeatclass: "0…" every month, "1…" odd months, "2…" even months,
// "3abcd" the four hex months a..d, "400ab" the two months a, b, "5000a" month a. An empty
// or unknown code makes no month due.
//
// Due day of a month by settlementday: "29" is the month's last day; a week code N w
// (N 3..6, w 1..7) is day (N - 3) * 7 + (w - d + 1), d being the weekday number
// (1 = Sunday) of the month's 1st, so weeks are the rows of a calendar page starting on
// Sunday ("42" in April 2026, which starts on a Wednesday, is the 6th); any other code is
// that day. A day the month does not have (a week day before the 1st, "30" in February,
// "00", "" or letters) falls on the month's last day, so a member is never shown overdue
// before the month is over.

bool IsDueMonth(const QString& repeatClass, int month);
QDate DueDate(const QString& settlementDay, int year, int month);

// Whether a member whose dues start on `feeStart` ("YYYY-MM-DD") owes the month: months
// before feestart's month are not owed. An empty or unreadable feestart owes every month.
bool OwesFromFeeStart(const QString& feeStart, int year, int month);

// State of one member's month on the dues sheet.
enum class DuesState { NotDue, Paid, Unpaid, Overdue };
// `paid` whether a payment is recorded for the month; overdue once the due day is past.
DuesState DuesMonthState(const QString& repeatClass, const QString& settlementDay,
                         const QString& feeStart, int year, int month, bool paid,
                         const QDate& today);
