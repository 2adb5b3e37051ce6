#pragma once

#include "db/Database.h"

#include <QString>
#include <QVariant>

// Column types of AddColumnIfMissing, by their historical numbers.
enum class ColumnType { SmallInt = 1, Long = 2, Double = 3, VarChar = 4, Text = 5, Date = 6, TinyInt = 7 };

// Engine type for a historical column type: the integer kinds are INTEGER, DOUBLE is REAL,
// VARCHAR(n), TEXT and DATE are TEXT (SQLite keeps no text length).
QString ColumnTypeSql(ColumnType type, int size);

// Adds `column` to `table` unless it can already be read. `defaultValue` invalid means
// DEFAULT NULL; otherwise the column is NOT NULL with that default (text is quoted).
// `followUp` "DEF_UPDATE" fills nulls with the default; any other non-empty text is run as
// a statement after the column was added. False only when the engine failed in a way that
// is not a mere rejection of the statement (read-only file, disk, lost connection);
// `errorCode`/`error` then tell why.
bool AddColumnIfMissing(const QString& table, const QString& column, ColumnType type, int size,
                        const QVariant& defaultValue, const QString& followUp,
                        int* errorCode = nullptr, QString* error = nullptr);

// Creates every index of the schema that the database lacks (run on each start by
// UpgradeSchema, so a new index reaches existing databases without a new version).
bool EnsureIndexes();

// True when the open database keeps the money book's totals by date and section
// (tbljangbusum with its triggers; see Schema::ledgerTotalsStatements). Without them
// balances are summed from every entry. One catalogue look-up.
bool LedgerTotalsKept();
// Makes the totals and their triggers where they are missing (a database made by an
// earlier version, a restored older backup), in one transaction; run on each start by
// UpgradeSchema. False when they could not be made (read-only file, a server login that
// does not own the ledger table): balances are then summed from every entry.
bool EnsureLedgerTotals();
// Deletes every ledger entry and its totals (clearing data), in the caller's transaction
// if one is open. On the embedded engine the triggers, which would take the entries off
// their totals one by one, are dropped for the delete and made again with the emptied
// totals. `changes` is the number of entries deleted.
SqlOutcome DeleteAllLedgerEntries();

// The key file of the open database: beside its folder (a server database: beside the
// local database folder).
QString DataKeyPath();

// Loads the data key of the open database, or makes one for a database that never had
// one. False when the key is missing or belongs to another database: sealed resident
// numbers then cannot be read, and none can be written.
bool PrepareDataKey();

// Takes the data key from a file another PC exported: it must be a key file and, once the
// database has a key, that database's key. It is then kept at DataKeyPath() and loaded.
// False with a Korean `*error` otherwise (the key in use stays as it was).
bool ImportDataKey(const QString& file, QString* error);
