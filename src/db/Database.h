#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <optional>

// The one process-wide database connection and the shared operations every window uses.
// Statements are SQL text; values typed by users are bound as parameters (the `params`
// arguments, `?` placeholders) or pass SqlQuote. Engine details stay inside src/db.

// A fully read, client-side result with an exact row count.
class Recordset {
public:
    bool isOpen() const { return m_open; }
    int recordCount() const { return int(m_rows.size()); }
    int fieldCount() const { return int(m_columns.size()); }
    QString fieldName(int i) const { return m_columns.value(i); }
    int fieldIndex(const QString& name) const; // case-insensitive; -1 when absent

    // Cursor over the rows.
    bool eof() const { return m_pos >= m_rows.size(); }
    bool bof() const { return m_pos < 0 || m_rows.isEmpty(); }
    void moveFirst() { m_pos = 0; }
    void moveNext() { ++m_pos; }
    int position() const { return int(m_pos); }
    void setPosition(int row) { m_pos = row; }

    // Values of the current row. A null or missing value reads as an invalid QVariant,
    // text() as "" and number()/integer() as 0.
    QVariant value(int col) const;
    QVariant value(const QString& name) const;
    QString text(const QString& name) const;
    QString text(int col) const;
    double number(const QString& name) const;
    double number(int col) const;
    int integer(const QString& name) const;

    // Direct access to any row.
    const QVector<QVariant>& row(int r) const { return m_rows[r]; }

    void close();

    // Filled by the database layer.
    void setData(QStringList columns, QVector<QVector<QVariant>> rows);

private:
    bool m_open = false;
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
    qsizetype m_pos = 0;
};

// ---- connection ----

// Opens the shared connection on `path` (creating nothing: the file must exist and be a
// MemberDesk database; any other file is refused before anything is written to it). A file
// shared by several PCs (App().sharedDatabase, client mode, or a file marked shared) runs
// in rollback-journal mode and is refused when that mode cannot be set; a file of this PC
// alone runs in WAL mode. The password has no meaning for the embedded engine and is
// ignored. False on any failure, without a message; LastDbError() tells why (in Korean
// for a damaged or foreign file and a refused journal mode).
//
// A `path` that names a database server instead (a postgresql:// address or key=value
// connection text such as "host=pc1 port=5432 dbname=memberdesk user=office", see
// IsServerLocation) opens a connection to that server: `password` is its login password
// (empty: taken from the text or the password file it names). A server that does not
// answer fails after the connection timeout (5 s unless the text sets connect_timeout);
// LastDbError() then says in Korean whether the server did not answer, refused the login
// or lacks the database.
bool OpenDatabase(const QString& path, const QString& password = {}, bool readOnly = false,
                  bool logging = false);
// True when `location` names a database server rather than a database file.
bool IsServerLocation(const QString& location);
// True when the open connection is to a database server.
bool ServerDatabase();
// What a server location holds, tried through a connection of its own (the open database
// stays as it is): MemberDesk's database, an empty database, another program's tables, or
// nothing reached (`error` then says why in Korean, as LastDbError() would).
enum class ServerProbe { Ready, Empty, Foreign, Failed };
ServerProbe ProbeServerDatabase(const QString& location, const QString& password = {}, QString* error = nullptr);
void DBTerminate();
bool IsDatabaseOpen();
QString LastDbError();
int LastDbErrorCode(); // the engine's primary result code of that error
QString DatabasePath();
// True when the open file can only be read (opened read-only, or a write-protected file).
bool DatabaseReadOnly();
// True when the most recent statement failed (as opposed to finding nothing).
bool LastStatementFailed();
// One Korean line naming the cause of a failed write or read with engine code `code`
// (another PC is writing, read-only file, full disk, damaged file); "" for other codes.
QString DbFailureCause(int code);
// True for the engine's codes of a damaged file or one that is not a database. Any
// statement failing so shows the damage message (file path, restore a backup) once.
// The Korean line for a lost or refused server connection, from the engine's text: the
// server restarting, not reachable, or the connection lost; "try again shortly" below.
QString ServerOutageText(const QString& engineText);
bool IsDamageCode(int code);
// Called when a statement starts waiting on another PC's lock and when it stops (the
// wait cursor).
void SetBusyWaitHooks(std::function<void()> begin, std::function<void()> end);
// Writes the MemberDesk mark into the open file; true when it carries the mark.
bool MarkDatabase();

// Creates a new database file at `path` with the whole schema at the current version,
// the fixed rows and the local user. Fails when the file exists.
// The database is built in CreationTempPath(path) and renamed into place when complete.
// On a server location the schema is made in one transaction in the (existing, empty)
// database; it fails when the database already holds tables.
bool CreateNewDatabase(const QString& path, QString* error = nullptr);
QString CreationTempPath(const QString& path);
// Removes a database file with its journal, WAL and shared-memory files.
void RemoveDatabaseFiles(const QString& path);
// Copies the MemberDesk database `from` (any other file is refused) to the new file `to`.
bool CopyDatabaseFile(const QString& from, const QString& to, QString* error = nullptr);
// The mark of a MemberDesk database file (SQLite's application_id): "MDSK".
constexpr int kMemberDeskApplicationId = 0x4D44534B;

// Creates or drops a whole database on the server reached through `adminLocation` (set-up
// and tests).
bool CreateServerDatabase(const QString& adminLocation, const QString& name, QString* error = nullptr);
bool DropServerDatabase(const QString& adminLocation, const QString& name, QString* error = nullptr);
// After rows were written with their own keys: moves each key counter of the server
// database past the highest key stored (a file keeps its counters itself).
bool ResetKeyCounters(QString* error = nullptr);
// `location` naming the database `name` instead.
QString ServerLocationWithDatabase(const QString& location, const QString& name);

// Copies every table of the MemberDesk database `from` into the empty database `to` (each
// a file path or a server location), one transaction per table, then compares the row
// counts and the sums of the money columns of both. Refuses a target that already holds
// rows or is not a new MemberDesk database. `report` gets one line per table;
// `tables(done, total)` is called after each table copied. A server source is read as one
// moment, so other PCs may go on writing meanwhile.
bool CopyDatabase(const QString& from, const QString& to, QStringList* report = nullptr,
                  QString* error = nullptr, const std::function<void(int done, int total)>& tables = {});

// ---- shared operations ----

// Row count, or -1 after showing the error box (the SQL text follows the message; a list
// that another PC's lock keeps from being read gets a Korean message instead, the SQL
// goes to the log).
int OpenRecordset(Recordset& rs, const QString& sql, const QVariantList& params = {});
void CloseRecordset(Recordset& rs);
// Rows affected; 0 when the engine rejects the statement (no message, the error goes to the
// debug log). CREATE/ALTER/DROP count no rows and so also return 0 when they succeed; use
// RunSilent where success of such a statement matters. One statement per call.
int ExecSQL(const QString& sql, const QVariantList& params = {});
// First column of the first row; an empty QString when there is no row or it is null.
QVariant GetScalar(const QString& sql, const QVariantList& params = {});
// The count, or -1 when the query failed (the error was shown).
int CountRows(const QString& table, const QString& condition = {},
              const QVariantList& params = {});
int LastIdentity();
QString SqlQuote(const QString& text);

// Only stored codes made of digits count. Two PCs can get the same code unless the caller
// reads it and inserts its row inside one Transaction (whose write lock serialises them).
QString NextSerialCode(const QString& table, const QString& column, int width,
                       const QString& prefix = {}, const QString& extraCondition = {});
// CheckDuplicate, CheckDuplicateAny and IsCodeInUse show the error and answer "do not go
// ahead" (true) when their query fails.
bool CheckDuplicate(const QString& table, const QString& column, const QString& value,
                    const QString& extraCondition, bool ask, const QString& label,
                    const QString& shownValue = {});
bool CheckDuplicateAny(const QString& table, const QStringList& columns, const QString& value,
                       const QString& extraCondition, bool ask, const QString& label,
                       const QString& shownValue = {});
bool IsCodeInUse(const QString& table, const QString& column, const QString& value,
                 bool textFlag, const QString& label, bool show,
                 const QString& extraCondition = {});
QString GetOption(const QString& name, const QString& defaultValue);
bool SetOption(const QString& name, const QString& value);
void ShowInfo(const QString& message, const QString& title = {});

// A group of writes that only make sense together: begin in the constructor, commit()
// explicitly, rolled back in the destructor when not committed.
class Transaction {
public:
    Transaction();
    ~Transaction();
    bool commit();
    // False when the transaction could not begin (another PC held the write lock past
    // the busy timeout): the writes must not go ahead without it.
    bool ok() const { return m_ok; }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    bool m_active = false;
    bool m_ok = false;
};

// ---- single records ----

// The named columns of row `code` of `table` (column names are the program's own, never
// typed text). An empty hash when the row does not exist; nullopt when the read failed
// (the error was shown). `lockForWrite` keeps the row from other writers until the
// transaction ends (on the server; the embedded engine's write lock already does).
std::optional<QVariantHash> ReadRecord(const QString& table, int code, const QStringList& columns,
                                       const QString& keyColumn = QStringLiteral("code"),
                                       bool lockForWrite = false);
// Writes only the given columns of row `code`; rows affected (0 when none or failed).
// `condition` (with its `conditionParams`), when given, must also hold for the row.
int UpdateRecord(const QString& table, int code, const QVariantHash& values,
                 const QString& keyColumn = QStringLiteral("code"), const QString& condition = {},
                 const QVariantList& conditionParams = {});

// ---- shared look-ups ----

// Member's balance: sum of his trade lines minus everything received; `exceptTrade` -1
// counts every trade.
double FriendBalance(int friendCode, int exceptTrade = -1);
qint64 FriendPointBalance(int friendCode, int exceptTrade = -1);
struct TradeLineSum {
    int count = 0;
    double total = 0;
};
TradeLineSum TradeLines(int tradeCode);
double GroupMonDetailTotal(int groupMonCode);
double GroupSettlementMon(const QString& groupName);
struct GroupRepeat {
    QString repeatClass;
    QString settlementDay;
};
GroupRepeat GroupRepeatByName(const QString& groupName);
QString GroupNameByCode(int code);
int GroupCodeByName(const QString& groupName); // 0 when absent
QString FriendNameByCode(int code);
QString AccountNameByCode(int code);
// accountClass "1" bank account, "2" card; exceptCode -1 counts every row. -1 when the
// query failed (the error was shown): a name check must then not go ahead.
int AccountNameCount(const QString& accountClass, const QString& name, int exceptCode = -1);
int AccountCodeByName(const QString& name, const QString& accountClass); // 0 when absent
int AccountParentByName(const QString& cardName);                          // 0 when absent

// ---- SQL log ----
QString SqlLogFile(); // <data>/log/SQLLog_DD.dat for today
QString SqlLogHex(const QString& sql);

// ---- silent access (schema checks, upgrade) ----

// Outcome of a statement run without any message box.
struct SqlOutcome {
    bool ok = false;
    int errorCode = 0;  // the engine's primary result code; 0 when ok
    QString error;      // the engine's description
    bool prepareFailed = false; // the text itself was rejected (syntax, unknown name)
    int changes = 0;    // rows written by the statement (0 for CREATE/ALTER)
    QVariant value;     // first column of the first row, invalid when none
};
SqlOutcome RunSilent(const QString& sql, const QVariantList& params = {});

// Column names of a table in their stored order; empty when the table does not exist.
QStringList TableColumns(const QString& table);
bool TableExists(const QString& table);

// Busy timeout of the open connection in milliseconds (5000 unless changed; tests shorten it).
void SetBusyTimeout(int ms);
// "wal" or "delete": the journal mode the open connection runs in.
QString JournalMode();

// ---- schema ----

constexpr int kSchemaVersion = 6;

// Brings an older database up to kSchemaVersion; false makes start-up end.
bool UpgradeSchema();
// Mode 1: true when `table` can be read; mode 2: true when `column` of `table` can be read.
bool DBChkExistence(int mode, const QString& table, const QString& column = {});
