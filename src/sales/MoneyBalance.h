#pragma once

#include <QString>

// Balances of the money book, summed from the ledger entries (tbljangbu) on top of the
// opening balances kept in tblgrouping.sbalance.
//
//   cash     + cash income (1), withdrawals (4), card cash advances (7)
//            - cash expenses (0), deposits (5)
//   account  + account income (3), deposits (5), transfers in (8)      [cgroupin]
//            - account expenses (2), withdrawals (4), card expenses (6),
//              cash advances (7), transfers out (8)                     [cgroupout]
//   all money changes only by income (1, 3) and expenses (0, 2, 6).
// Balance records (9) never enter a balance.

// Balance of one tblgrouping row (bank account or card), over all dates.
double AccountBalance(int code);
// Balance of the cash box (tblgrouping code 1), over all dates.
double CashBalance();
// Balance of all money (or of the cash box only) from the entries dated before `date`.
double BalanceBefore(bool cashOnly, const QString& date);
