#pragma once

class QString;

// Money book balances. Each one is the opening balance from tblgrouping plus the entries
// that bring money in minus those that take it out, chosen by section; balance records
// (section 9) never count. Null sums count as 0.

// Balance of one bank account or card (all dates).
double AccountBalance(int code);
// Balance of the cash box (tblgrouping code 1, all dates).
double CashBalance();
// Balance of all money (cashOnly false) or of the cash box only from the entries dated
// before `date` (text "yyyy-MM-dd", compared as text).
double BalanceBefore(bool cashOnly, const QString& date);
