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

// Years to offer: every year of the group's records (sdate and smonth), and the current
// year; ascending.
QList<int> FundYears(int group);

// Payments of `year` whose member is no longer in the group (moved to another group or
// removed) become other income, memo "<name> <month>월분 납부 회비", all in one
// transaction. Suspended members still in the group keep theirs. Rows converted, -1 when
// the write failed (nothing changed).
int ConvertLeftMemberPayments(int group, int year);

QList<DuesPayment> DuesPayments(int group, int year);

// Inserts (code 0) or updates a payment; its code, 0 when the write failed.
int SaveDuesPayment(int code, int member, int group, double money, const QString& sdate,
                    const QString& smonth);

// Income ('1') or expense ('2') lines of the group in the period, by date.
QList<FundLine> FundLines(int group, const QString& kind, const QString& from, const QString& to);
// Detail lines of an expense (item = bigo).
QList<FundLine> DetailLines(int expense);

// One field of a line written; code 0 inserts the whole line. The record's code, 0 on
// failure.
int SaveFundLine(int code, int group, const QString& kind, const FundLine& line);
int SaveDetailLine(int code, int expense, const FundLine& line);

// Deletes a fund record and, for an expense, its detail lines in one transaction.
bool DeleteFundRecord(int code);
bool DeleteDetailLine(int code);

FundTotals GroupFundTotals(int group);
