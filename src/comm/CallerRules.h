#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// Window-free rules of the caller-ID intake: what counts as a caller number, the
// telephone formatting with its local part, the member look-up and the trace log.

// A caller number as a device or the relay delivered it: NUL characters are removed and
// the rest counts only when it is 1 to 20 characters of digits and '-'. nullopt otherwise.
std::optional<QString> CallerNumber(const QString& raw);

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

// Members whose telephone columns (hpline, hline1, hline2, hline3, finalline, keyline),
// read as digits only, end in the digits of `localPart`. Lowest code first. An empty key
// (a short or withheld number) finds nobody. count -1 when the query failed.
CallerMatch FindCaller(const QString& localPart);

// "yyyy-MM-dd 오전|오후 hh:mm:ss" with a 12-hour clock.
QString CidLogTime(const QDateTime& t);

// Appends one line (time, blank, tag + value) to CID_LOG.txt in the data folder. Errors
// are ignored: the trace never stops a call.
void CidLog(const QString& tag, const QString& value);

// The text handed to the pop-up: number;name;memo or number;"등록되지 않은 번호입니다.".
QString ViewerText(const QString& formatted, const CallerMatch& m);
