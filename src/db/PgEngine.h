#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

struct pg_result; // libpq's result, read in place by ResultRow

// The database-server engine behind the shared operations (PostgreSQL through libpq).
// Internal to src/db: the rest of the program sees the same Database.h on both engines.
// Failures carry the embedded engine's primary result codes, so every caller and message
// (DbFailureCause, IsDamageCode, the upgrade's "merely rejected" rule) works unchanged.
namespace pg {

// Result codes used on this engine (the embedded engine's numbers).
enum Code {
    Ok = 0,
    Error = 1,
    Perm = 3,
    Busy = 5,
    ReadOnly = 8,
    IoErr = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14, // the server cannot be reached or the connection was lost
    Constraint = 19,
    Auth = 23,
};

struct Result {
    int rc = Ok;
    bool prepareFailed = false; // the statement text was rejected (syntax, unknown name)
    QString error;
    QString sqlState;
    int changes = 0;
    QStringList columns;
    QVector<QVector<QVariant>> rows;
};

// One row of a result as the server sent it, read in place (no copy of the row): each
// value as its text form in UTF-8, with the kind of its column.
class ResultRow {
public:
    enum Kind { Integer, Float, Numeric, Bool, Bytea, Text };
    ResultRow(const pg_result* res, int row, const std::vector<unsigned>& types, const QStringList& columns)
        : m_res(res), m_row(row), m_types(types), m_columns(columns)
    {
    }
    int columnCount() const { return int(m_types.size()); }
    const QStringList& columns() const { return m_columns; }
    Kind kind(int col) const;
    bool isNull(int col) const;
    // The value's text form and its length in bytes; "" for null.
    const char* bytes(int col, int* length) const;
    // The value as a kept row holds it.
    QVariant value(int col) const;

private:
    const pg_result* m_res;
    int m_row;
    const std::vector<unsigned>& m_types;
    const QStringList& m_columns;
};

// True when `location` names a server rather than a file: a postgresql:// (postgres://)
// address or a key=value connection text ("host=... dbname=...").
bool IsServerLocation(const QString& location);

// The statement as the server takes it: `?` placeholders become $1, $2 ... and LIKE
// becomes ILIKE (the embedded engine's LIKE ignores the case of ASCII letters; text
// columns use the "C" collation, so ILIKE folds exactly those), both outside quoted text.
// In CREATE TABLE and ALTER TABLE the column types become the server's: INTEGER is
// BIGINT, REAL is DOUBLE PRECISION, TEXT sorts by code point, and an AUTOINCREMENT key is
// an identity column.
// `inCondition` (when given) tells for each placeholder whether it stands after WHERE, ON
// or HAVING, where a value is compared rather than stored.
QString AdaptSql(const QString& sql, std::vector<bool>* inCondition = nullptr);

// Korean line for a failed connection attempt, from libpq's message.
QString ConnectFailureText(const QString& libpqMessage, int* code);

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connects with the connection text `location` (password from `password` when not
    // empty, else from the text or a password file). `connectTimeoutSec` bounds the wait for
    // a server that does not answer. False with a Korean `error` and an engine `code`.
    bool open(const QString& location, const QString& password, bool readOnly, QString* error,
              int* code);
    void close();
    bool isOpen() const;
    // The location without any password (for messages and DatabasePath()).
    QString location() const { return m_shownLocation; }

    // With `sink`, each row of the result goes to it in turn instead of into Result::rows.
    Result exec(const QString& sql, const QVariantList& params, int maxRows,
                const std::function<void(const ResultRow&)>* sink = nullptr);
    bool inTransaction() const { return m_inTransaction; }
    // Starts a read-only transaction in which every later statement sees the database as
    // it was at its first read, while other PCs go on writing (a consistent copy).
    bool beginSnapshot(QString* error);
    qlonglong lastIdentity();
    void setLockTimeout(int ms);
    // Moves every identity column's counter past the highest key stored (after rows were
    // written with their keys: fixed rows, a copied database).
    bool resetIdentities(QString* error);
    // Called once when a statement has waited noticeably (another PC holds a lock).
    std::function<void()> onWait;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QString m_shownLocation;
    bool m_inTransaction = false;
    bool m_transactionLost = false; // the connection dropped inside a transaction
};

// Creates or drops a whole database on the server reached through `adminLocation`
// (tests and set-up). The name is quoted as an identifier.
bool CreateDatabase(const QString& adminLocation, const QString& name, QString* error);
bool DropDatabase(const QString& adminLocation, const QString& name, QString* error);
// `location` with its database name replaced by `name`.
QString WithDatabase(const QString& location, const QString& name);

// The SQL functions the statements rely on (MID, LEFT, RIGHT, LEN, UCASE, ISNUMERIC),
// created with the schema.
QStringList FunctionStatements();

} // namespace pg
