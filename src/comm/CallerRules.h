#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// Window-free rules of the caller-ID intake: what counts as a caller number, the
// telephone formatting with its local part, the member look-up and the trace log.

// A caller number as a device or the relay delivered it: NUL characters are removed and
// the rest counts only when it is 1 to 20 characters of digits and '-' holding at least
// one digit. The codes of a withheld number ("P", "O", "PRIVATE", any case) come back
// upper-case. nullopt otherwise.
std::optional<QString> CallerNumber(const QString& raw);

// True for the code of a withheld number as CallerNumber returns it.
bool IsWithheld(const QString& number);
// What the caller lists and the pop-up show for a withheld number.
QString WithheldText();

// Printable form of rejected device text for the trace: ASCII 0x20-0x7E kept, anything
// else as \xHH / \uHHHH, cut after 40 characters with the total length noted.
QString TraceSafe(const QString& raw);

// Formats a telephone number (area code - exchange - last four; "02" and "0505" area
// codes, 3 digits for other numbers starting with 0 that have 9 or more digits).
// `localPart` receives the number after its area code and dash; it is left untouched for
// texts shorter than 6 characters or with 4 or fewer digits.
QString FormatTelNo(const QString& number, QString* localPart = nullptr);

struct CallerMatch {
    int count = 0; // members found
    int code = 0;  // the first one (lowest code)
    QString name;
    QString memo;
};

// How a stored telephone cell stands to a caller: 2 when one of its numbers (split at
// ",") is the caller's whole number, 1 when one is the caller's number without its area
// code (or, for a caller without an area code, ends in it), 0 otherwise. A number with
// another area code is no match. Compared by digits; `local` is the caller's number
// after its area code (FormatTelNo's local part).
int PhoneCellMatch(const QString& cell, const QString& number, const QString& local);

// Members whose telephone columns (hpline, hline1, hline2, hline3, finalline, keyline)
// hold the caller's number (PhoneCellMatch). `count` counts them all; the one shown is
// the lowest code among the whole-number matches, else among the others. An empty key
// (a short or withheld number) finds nobody. count -1 when the query failed.
CallerMatch FindCaller(const QString& number, const QString& localPart);

// "yyyy-MM-dd 오전|오후 hh:mm:ss" with a 12-hour clock.
QString CidLogTime(const QDateTime& t);

// Appends one line (time, blank, tag + value) to CID_LOG.txt in the data folder; line
// breaks and other control characters in the value are written as \xHH, so stored text
// (a member's name or memo) keeps to its one line. Errors are ignored: the trace never
// stops a call.
void CidLog(const QString& tag, const QString& value);

// The text handed to the pop-up: number;name;memo or number;"등록되지 않은 번호입니다.".
QString ViewerText(const QString& formatted, const CallerMatch& m);
