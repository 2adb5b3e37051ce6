#pragma once

#include <QStringList>

// The statements that build a database at the current schema version: tables, indexes and
// the fixed rows every list and reference relies on. Internal to src/db.
namespace Schema {

QStringList tableStatements();
QStringList indexStatements();
// Indexes earlier versions made that another index now covers (a leading part of that
// index): each start drops them, since every write pays for them and the backup's
// integrity check compares every row with each of them.
QStringList retiredIndexNames();
QStringList fixedRowStatements();
// True for the tables whose row with code 1 is a fixed "none" row (default group, cash
// box, ...), which no list may delete. Trades, lines and ledger entries have none.
bool hasFixedRow(const QString& table);

// The money book's totals by date and section (tbljangbusum): one row per entry date and
// section text with the sum of the amounts and the number of entries, kept by triggers on
// tbljangbu in the same transaction as every write, whoever writes (this program, another
// PC, an older version, an import). The balance before a date then sums these few rows
// instead of every earlier entry. The statements drop what an earlier attempt left, make
// the table, fill it from the entries and add the triggers (PL/pgSQL on a server); run
// them in one transaction, so triggers present mean the totals are whole.
QStringList ledgerTotalsStatements(bool server);
// A query whose one value is 1 when the open database holds the totals table and all
// of its triggers.
QString ledgerTotalsCheckSql(bool server);

// The pick-list table of the user-defined member fields (also made by the upgrade).
QString userFieldListTable();

} // namespace Schema
