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

// The pick-list table of the user-defined member fields (also made by the upgrade).
QString userFieldListTable();

} // namespace Schema
