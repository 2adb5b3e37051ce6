#pragma once

#include "db/SqlPart.h"

#include <QString>
#include <QStringList>

// The recipient search of the text-message window, without the window.
//
// Three kinds (opSection): members by the filters; members of one group who have not
// paid that group's dues for a month; members with trades in a month and the sum of their
// trade lines. The filters (marriage, sex, date period, text or group) narrow all three.
// Every statement returns, in order: sname, hpline, remark, address, smemo, and for the
// unpaid-dues search feestart.

struct SmsSearchInput {
    enum Section { Members = 0, UnpaidDues = 1, TradeSums = 2 };
    int marry = 0;    // opMarry: 0 all, 1 single (marryox 0), 2 married (marryox 1)
    int sex = 0;      // opMali: 0 all, 1 "남", 2 "여"
    QString dateKind; // cmbDate text (the member list's anniversary kinds)
    QString start;    // htDate, YYYY-MM-DD
    QString end;
    QString menu;      // cmbMenu text
    QString text;      // htField
    int groupCode = 0; // the group chosen in cmbData
    int section = Members;
    int year = 0; // cmbYear, cmbMonth: the month of the dues and trade searches
    int month = 0;
};

// What the remark column (4) shows.
enum class SmsRemark { Memo, Date, Group, Address, UnpaidMonth, TradeSum };

struct SmsQuery {
    SqlPart part;   // the whole statement: select ordered by order
    SqlPart select; // up to its conditions, without the order
    QStringList order; // the ORDER BY terms: group, then member code
    SmsRemark remark = SmsRemark::Memo;
    QString header; // heading of the remark column
};

// The text choices of cmbMenu, in order.
QStringList SmsMenuChoices();

SmsQuery SmsSearchSql(const SmsSearchInput& in);

// "YYYY-MM" of the input's month.
QString SmsSearchMonth(const SmsSearchInput& in);

// The first and the last day ("YYYY-MM-DD") of the input's month, the last from the
// calendar (28 to 31); both empty for a month that does not exist.
struct SmsMonthSpan {
    QString first;
    QString last;
};
SmsMonthSpan SmsSearchMonthSpan(const SmsSearchInput& in);

class QDate;

// Where a month stands in a group's dues schedule, for the unpaid-dues search.
enum class DuesMonthCheck {
    NoSchedule,   // the group has no dues settings
    NotDueMonth,  // the schedule takes no dues in that month
    BeforeDueDay, // `today` is before the month's due day: nobody is late yet
    Due,
};
DuesMonthCheck CheckDuesMonth(const QString& repeatClass, const QString& settlementDay, int year,
                              int month, const QDate& today);
