#pragma once

// Inside the database layer only: the one process-wide connection and the statement runner
// that every operation of Database.h goes through. Not for use outside src/db.

#include "db/DbRow.h"
#include "db/PgEngine.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

#include <sqlite3.h>

namespace dbcore {

constexpr int kDefaultBusyTimeoutMs = 5000;

// The one process-wide connection and the flags kept beside it.
struct Connection {
    sqlite3* db = nullptr;
    // The database server instead of the file (then db is null).
    std::unique_ptr<pg::Connection> server;
    bool open() const { return db || server; }
    QString path;
    bool readOnly = false;
    bool logging = false;
    QString lastError;
    int lastErrorCode = 0;
    bool lastFailed = false;  // the most recent statement failed
    bool damageShown = false; // the damage message was shown for this connection
    bool waiting = false;     // the busy handler is waiting on another writer's lock
    int busyTimeoutMs = 5000;
};

Connection& conn();

// Leading numeric value of a text, as the windows read typed numbers: "12abc" is 12,
// "" and "abc" are 0.
double leadingNumber(const QString& text);
double toNumber(const QVariant& v);
// A value as a list shows it: null as "", whole amounts as "1500", not "1500.0" or "1.5e+03".
QString textOf(const QVariant& v);
// Position of `name` among a result's columns, case-insensitive; -1 when absent.
int columnIndexIn(const QStringList& columns, const QString& name);

// Hooks for the wait cursor while a statement waits on another writer's lock.
std::function<void()>& busyBegin();
std::function<void()>& busyEnd();
void endBusyWait();
// Waits for another connection's lock up to the busy timeout (the engine's busy handler).
int busyHandler(void*, int count);

// Result of one statement on the shared connection.
struct StatementResult {
    int rc = SQLITE_OK;
    bool prepareFailed = false;
    QString error;
    int changes = 0;
    QStringList columns;
    QVector<QVector<QVariant>> rows;
    int rowsHandedOut = 0; // rows given to a RowSink instead of kept
};

using RowSink = std::function<void(const DbRow&)>;

struct LastText;
QVariant columnValue(sqlite3_stmt* st, int col, LastText* last = nullptr);

// Every statement of the program goes through here: it remembers whether the statement
// failed, ends the wait cursor of a lock wait, and reports a damaged file as such (once).
StatementResult runStatement(const QString& sql, const QVariantList& params, int maxRows,
                             const RowSink* sink = nullptr);
qint64& statementCounter();
QString scalarText(const QString& sql, const QVariantList& params);
void appendSqlLog(const QString& sql, int rows);
// Keeps <data>/log: one file per day of the month.
void maintainLogFolder();
// The damage message, once per connection.
void reportDamage();
// The error box of a failed read.
void showStatementError(const StatementResult& r, const QString& sql);

} // namespace dbcore
