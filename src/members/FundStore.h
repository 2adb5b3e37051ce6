#pragma once

#include <QList>
#include <QString>

// A group's fund records (tblgroupmon: '0' dues payment, '1' other income, '2' expense)
// and the expenses' detail lines (tblsubdata). Values are bound, never spliced.

struct FundLine {
    int code = 0;
    QString sdate;
    QString item;     // ctblaffairsnote
    double money = 0; // shown amount: for an expense with detail lines, their total
    QString memo;
    int lineCount = 0; // detail lines of an expense
};

struct DuesPayment {
    int code = 0;
    int member = 0;
    double money = 0;
    QString sdate;
    QString smonth;
};

struct FundTotals {
    double dues = 0;
    double income = 0;
    double expense = 0; // each expense once: its lines' total when it has lines, else its amount
    double detail = 0;  // sum of all detail lines
    double balance() const { return dues + income - expense; }
};

// Years to offer, ascending: every year from the group's first record (sdate and smonth)
// to this year, or to its last record when that lies later; the years between without
// records included.
QList<int> FundYears(int group);

// Payments of `year` whose member is no longer in the group (moved to another group or
// removed) become other income, memo "<name> <month>월분 납부 회비", all in one
// transaction. Suspended members still in the group keep theirs. Rows converted, -1 when
// the write failed (nothing changed).
int ConvertLeftMemberPayments(int group, int year);

QList<DuesPayment> DuesPayments(int group, int year);

// Inserts a payment; its code, 0 when the write failed. Checks in its transaction that the
// member and the group still exist and that the month has no payment yet (another PC may
// have marked it): otherwise -1 after saying so. A stored payment's cells are saved through
// SaveCell (ui/CellChanges.h).
int InsertDuesPayment(int member, int group, double money, const QString& sdate,
                      const QString& smonth);

// Income ('1') or expense ('2') lines of the group in the period, by date.
QList<FundLine> FundLines(int group, const QString& kind, const QString& from, const QString& to);
// Detail lines of an expense (item = bigo).
QList<FundLine> DetailLines(int expense);

// Inserts a whole line, after checking in its transaction that the group (or the expense
// of a detail line) still exists: otherwise -1 after saying so. The new code, 0 on failure.
// A stored line's cells are saved through SaveCell (ui/CellChanges.h).
int InsertFundLine(int group, const QString& kind, const FundLine& line);
int InsertDetailLine(int expense, const FundLine& line);

// Deletes a fund record and, for an expense, its detail lines in one transaction.
bool DeleteFundRecord(int code);
bool DeleteDetailLine(int code);

FundTotals GroupFundTotals(int group);
