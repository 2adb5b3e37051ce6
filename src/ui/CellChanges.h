#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantHash>

// The save of one grid cell (or of the few columns one cell stands for) into a stored row,
// shared by every window whose grid saves cell by cell. Inside one write transaction it
// checks that the row still exists, that the rows it refers to still exist, and that each
// column still holds the value the grid showed when it was loaded; only then it writes.
// When another window or PC changed one of those columns in the meantime it asks whether
// to overwrite it or to reload; when the row or a row it refers to is gone it says so.
// Nothing is asked while the write lock is held.
//
// A window passes the value the cell showed before the edit, parsed by the same rule it
// uses for the typed value: numbers compare as numbers, everything else as trimmed text,
// and an empty text equals 0 for a number column (a row that never set the column).

// A row that must still exist for a save to make sense (the trade of a trade line, the
// member of a trade, a picked service or card company). Code 1 of a table with a fixed
// "none" row (members, groups, services, card companies, accounts, items, usage places)
// always counts as existing; code 0 means "no reference".
struct RowRef {
    QString table;
    int code = 0;
};

enum class CellSave {
    Written,   // the values were written
    Unchanged, // the new values equal the stored ones: nothing written
    Reload,    // another change was found and the user chose to see it: reload the row or list
    Gone,      // the row or a row it refers to no longer exists (the message was shown)
    Failed,    // the engine failed or the write lock could not be had (the message was shown)
};

// Saves `values` (column -> value) into row `code` of `table` after the checks above. The
// row is found by its key column: `code`, or `seq` for the schedules.
// `shown` holds, for the columns the user edited, the values the grid showed before the
// edit. `rows`, when given, receives the rows written.
CellSave SaveCell(const QString& table, int code, const QVariantHash& shown,
                  const QVariantHash& values, const QList<RowRef>& parents = {},
                  int* rows = nullptr);

// For inserts and other writes of the caller's own: inside the caller's open transaction,
// true when each of `parents` still exists; otherwise the Korean message naming the first
// one missing was shown and false is returned (the caller writes nothing and refreshes).
// Also false (with the engine's message) when the check itself failed.
bool ParentsExist(const QList<RowRef>& parents);

// The same check without a message, for callers that say so after letting go of the write
// lock: the table of the first row of `parents` that is gone, "" when all exist. `failed`
// is set when the check itself failed (the engine's message was shown).
QString MissingRow(const QList<RowRef>& parents, bool* failed = nullptr);

// The message for a missing row of `table` ("이 거래는 다른 곳에서 삭제되었습니다. ..."),
// for callers that find a row gone by themselves.
QString RowGoneMessage(const QString& table);

// True when the stored value `stored` equals the shown value `shown` under the rule above.
bool SameCellValue(const QVariant& stored, const QVariant& shown);
