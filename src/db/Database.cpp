#include "db/Database.h"
#include "core/Log.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Settings.h"
#include "db/DatabaseStats.h"
#include "db/DbRow.h"
#include "db/PgEngine.h"
#include "db/SqlFunctions.h"
#include "core/Prompt.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringDecoder>
#include <QTimer>

#include <cmath>
#include <functional>
#include <memory>
#include <cstring>
#include <string>
#include <vector>

#include <sqlite3.h>

namespace {

constexpr int kDefaultBusyTimeoutMs = 5000;
// Below this much free space an engine failure at opening is taken for a full disk.
constexpr qint64 kLowDiskBytes = 1 << 20;

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

Connection& conn() {
    static Connection c;
    return c;
}

// Leading numeric value of a text, as the windows read typed numbers: "12abc" is 12,
// "" and "abc" are 0.
double leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == u'+' || t[end] == u'-')) ++end;
    bool point = false;
    while (end < t.size() && (t[end].isDigit() || (t[end] == u'.' && !point))) {
        if (t[end] == u'.') point = true;
        ++end;
    }
    bool ok = false;
    const double v = t.left(end).toDouble(&ok);
    return ok ? v : 0.0;
}

double toNumber(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return 0.0;
    if (v.typeId() == QMetaType::QString) return leadingNumber(v.toString());
    return v.toDouble();
}

// Hooks for the wait cursor while a statement waits on another writer's lock.
std::function<void()>& busyBegin() {
    static std::function<void()> f;
    return f;
}
std::function<void()>& busyEnd() {
    static std::function<void()> f;
    return f;
}

void endBusyWait() {
    if (!conn().waiting) return;
    conn().waiting = false;
    if (busyEnd()) busyEnd()();
}

// Waits for another connection's lock up to the busy timeout, in short sleeps. The first
// wait shows the wait cursor; the statement's end takes it away again.
int busyHandler(void*, int count) {
    Connection& c = conn();
    if (count == 0 && !c.waiting) {
        c.waiting = true;
        if (busyBegin()) busyBegin()();
    }
    const int step = count < 5 ? 5 : 25;
    const int waited = count < 5 ? count * 5 : 25 + (count - 5) * 25;
    if (waited >= c.busyTimeoutMs) return 0;
    sqlite3_sleep(step);
    return 1;
}

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

int bindParams(sqlite3_stmt* st, const QVariantList& params) {
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params[i];
        const int at = i + 1;
        int rc = SQLITE_OK;
        if (!v.isValid() || v.isNull()) {
            rc = sqlite3_bind_null(st, at);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::LongLong:
            case QMetaType::ULong:
            case QMetaType::ULongLong: rc = sqlite3_bind_int64(st, at, v.toLongLong()); break;
            case QMetaType::Double:
            case QMetaType::Float: rc = sqlite3_bind_double(st, at, v.toDouble()); break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(st, at, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QDate: {
                const QByteArray t = v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
                rc = sqlite3_bind_text(st, at, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = v.toString().toUtf8();
                rc = sqlite3_bind_text(st, at, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

// The text a column held in the previous row, so a value repeated down a column (the
// group name of a sorted list, a sex, a date) is shared instead of converted again.
struct LastText {
    std::string bytes;
    QVariant value;
};

QVariant columnValue(sqlite3_stmt* st, int col, LastText* last = nullptr) {
    const int type = sqlite3_column_type(st, col);
    if (last && type == SQLITE_TEXT) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        const auto bytes = size_t(sqlite3_column_bytes(st, col));
        if (bytes > 0 && last->value.isValid() && last->bytes.size() == bytes &&
            std::memcmp(last->bytes.data(), p, bytes) == 0)
            return last->value;
        if (bytes > 0) {
            last->bytes.assign(p, bytes);
            last->value = QVariant(QString::fromUtf8(p, qsizetype(bytes)));
            return last->value;
        }
    }
    switch (type) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, col));
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        const int bytes = sqlite3_column_bytes(st, col);
        // Most text columns of a row are '' (their default); those share one empty string
        // instead of converting and allocating per cell.
        static const QVariant empty(QStringLiteral(""));
        if (bytes == 0) return empty;
        return QVariant(QString::fromUtf8(p, bytes));
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(st, col));
        return QVariant(QByteArray(p, sqlite3_column_bytes(st, col)));
    }
    default: return QVariant();
    }
}

// The current row of a stepped statement, read straight from the engine.
class StatementRow final : public DbRow {
public:
    explicit StatementRow(sqlite3_stmt* st) : m_st(st), m_count(sqlite3_column_count(st)) {}
    int columnCount() const override { return m_count; }
    void text(int col, QString& into) const override {
        if (col < 0 || col >= m_count) {
            into.resize(0);
            return;
        }
        if (sqlite3_column_type(m_st, col) == SQLITE_TEXT) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_st, col));
            const int bytes = sqlite3_column_bytes(m_st, col);
            // UTF-16 takes at most as many units as UTF-8 takes bytes; the decoder reads as
            // QString::fromUtf8 does.
            into.resize(bytes);
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QChar* end = utf8.appendToBuffer(into.data(), QByteArrayView(p, bytes));
            into.resize(end - into.constData());
            return;
        }
        into = columnValue(m_st, col).toString();
    }
    double number(int col) const override {
        if (col < 0 || col >= m_count) return 0.0;
        const int type = sqlite3_column_type(m_st, col);
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) return sqlite3_column_double(m_st, col);
        return toNumber(columnValue(m_st, col));
    }

private:
    sqlite3_stmt* m_st;
    int m_count;
};

// A row the server sent, as values.
class ValueRow final : public DbRow {
public:
    explicit ValueRow(const QVector<QVariant>& values) : m_values(values) {}
    int columnCount() const override { return int(m_values.size()); }
    void text(int col, QString& into) const override { into = m_values.value(col).toString(); }
    double number(int col) const override { return toNumber(m_values.value(col)); }

private:
    const QVector<QVariant>& m_values;
};

// Runs one statement. `maxRows` limits the rows kept (-1 all); the statement still runs
// to its end so that writes complete. With a `sink` every row goes to it instead.
StatementResult runStatementRaw(const QString& sql, const QVariantList& params, int maxRows,
                                const RowSink* sink = nullptr);

void reportDamage();

// Every statement of the program goes through here: it remembers whether the statement
// failed, ends the wait cursor of a lock wait, and reports a damaged file as such (once).
qint64& statementCounter() {
    static qint64 n = 0;
    return n;
}

StatementResult runStatement(const QString& sql, const QVariantList& params, int maxRows,
                             const RowSink* sink = nullptr) {
    ++statementCounter();
    StatementResult r = runStatementRaw(sql, params, maxRows, sink);
    conn().lastFailed = r.rc != SQLITE_OK;
    if (r.rc != SQLITE_OK) {
        conn().lastError = r.error;
        conn().lastErrorCode = r.rc & 0xff;
    }
    endBusyWait();
    if (IsDamageCode(r.rc)) {
        qCWarning(lcSql, "damaged database (%s): %s", qPrintable(r.error), qPrintable(sql));
        reportDamage();
    }
    return r;
}

StatementResult runStatementRaw(const QString& sql, const QVariantList& params, int maxRows,
                                const RowSink* sink) {
    StatementResult r;
    if (conn().server) {
        pg::Result s = conn().server->exec(sql, params, maxRows);
        r.rc = s.rc;
        r.prepareFailed = s.prepareFailed;
        r.error = std::move(s.error);
        r.changes = s.changes;
        r.columns = std::move(s.columns);
        if (sink && r.rc == SQLITE_OK) {
            for (const QVector<QVariant>& row : std::as_const(s.rows))
                (*sink)(ValueRow(row));
            r.rowsHandedOut = int(s.rows.size());
        } else {
            r.rows = std::move(s.rows);
        }
        return r;
    }
    sqlite3* db = conn().db;
    if (!db) {
        r.rc = SQLITE_MISUSE;
        r.prepareFailed = true;
        r.error = QStringLiteral("no database connection");
        return r;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    r.rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, &tail);
    if (r.rc != SQLITE_OK) {
        r.prepareFailed = true;
        r.error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
        return r;
    }
    // One statement per call: a second statement after the first is refused rather than
    // silently ignored (it would also be a way for typed text to smuggle in a statement).
    for (const char* p = tail; p && *p; ++p) {
        if (*p != ';' && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') {
            sqlite3_finalize(st);
            r.rc = SQLITE_ERROR;
            r.prepareFailed = true;
            r.error = QStringLiteral("only one statement is allowed");
            return r;
        }
    }
    if (!st) return r; // empty text
    r.rc = bindParams(st, params);
    if (r.rc != SQLITE_OK) {
        r.prepareFailed = true;
        r.error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
        return r;
    }
    const sqlite3_int64 totalBefore = sqlite3_total_changes64(db);
    const int ncol = sqlite3_column_count(st);
    for (int c = 0; c < ncol; ++c) r.columns << QString::fromUtf8(sqlite3_column_name(st, c));
    // Sharing repeated values starts with the second row, so a single-row read (the most
    // common kind) pays nothing for it.
    std::vector<LastText> last;
    for (;;) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            if (sink) {
                (*sink)(StatementRow(st));
                ++r.rowsHandedOut;
            } else if (maxRows < 0 || r.rows.size() < maxRows) {
                QVector<QVariant> row(ncol);
                if (!r.rows.isEmpty() && last.empty()) last.resize(size_t(ncol));
                for (int c = 0; c < ncol; ++c) row[c] = columnValue(st, c, last.empty() ? nullptr : &last[c]);
                r.rows.append(std::move(row));
            }
            continue;
        }
        if (rc == SQLITE_DONE) {
            r.rc = SQLITE_OK;
        } else {
            r.rc = rc;
            r.error = QString::fromUtf8(sqlite3_errmsg(db));
            r.rows.clear();
        }
        break;
    }
    sqlite3_finalize(st);
    // The difference of the connection's running total: CREATE/ALTER count 0 instead of
    // repeating the count of the last INSERT/UPDATE/DELETE as sqlite3_changes() would.
    if (r.rc == SQLITE_OK) r.changes = int(sqlite3_total_changes64(db) - totalBefore);
    return r;
}

void appendSqlLog(const QString& sql, int rows) {
    QFile f(SqlLogFile());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    const QString line = Clock::now().toString(QStringLiteral("yyMMddHHmmss")) + u'\t' +
                         SqlLogHex(sql) + QStringLiteral("; -> ") + QString::number(rows) + u'\n';
    f.write(line.toUtf8());
}

// Keeps <data>/log: a log file left from the same day of an earlier month is removed on
// the first open of the day, so each of the 31 files holds one day.
void maintainLogFolder() {
    if (App().appDir.isEmpty()) return;
    const QString folder = DataPath(QStringLiteral("log"));
    const QString today = Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
    if (QFileInfo(folder).isDir()) {
        if (Settings::get(QStringLiteral("Config"), QStringLiteral("SQLLogLast")) != today) {
            QFile::remove(SqlLogFile());
            Settings::set(QStringLiteral("Config"), QStringLiteral("SQLLogLast"), today);
        }
    } else {
        QDir().mkpath(folder);
        Settings::set(QStringLiteral("Config"), QStringLiteral("SQLLogLast"), today);
    }
}

QString scalarText(const QString& sql, const QVariantList& params) {
    return GetScalar(sql, params).toString();
}

} // namespace

// ---- Recordset ----

int Recordset::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant Recordset::value(int col) const {
    if (m_pos < 0 || m_pos >= m_rows.size()) return {};
    const auto& r = m_rows[m_pos];
    if (col < 0 || col >= r.size()) return {};
    return r[col];
}

QVariant Recordset::value(const QString& name) const { return value(fieldIndex(name)); }

QString Recordset::text(int col) const {
    const QVariant v = value(col);
    if (!v.isValid() || v.isNull()) return {};
    if (v.typeId() == QMetaType::Double) {
        // Whole amounts read as "1500", not "1500.0".
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(qlonglong(d));
    }
    return v.toString();
}

QString Recordset::text(const QString& name) const { return text(fieldIndex(name)); }

double Recordset::number(const QString& name) const { return toNumber(value(name)); }

int Recordset::integer(const QString& name) const {
    return int(qRound64(toNumber(value(name))));
}

void Recordset::close() {
    m_open = false;
    m_columns.clear();
    m_rows.clear();
    m_pos = 0;
}

void Recordset::setData(QStringList columns, QVector<QVector<QVariant>> rows) {
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    m_pos = 0;
    m_open = true;
}

// ---- connection ----

namespace {

constexpr int kApplicationId = kMemberDeskApplicationId;

QString damageText(const QString& path) {
    return QStringLiteral("데이터베이스 파일이 손상되었습니다.") + QStringLiteral("\n") +
           QStringLiteral("파일: ") + path + QStringLiteral("\n") +
           QStringLiteral("백업해 둔 자료로 복원하세요.");
}

void reportDamage() {
    Connection& c = conn();
    if (c.damageShown || !c.open()) return;
    c.damageShown = true;
    if (c.server)
        MsgWarning(QStringLiteral("데이터베이스 서버의 자료가 손상되었습니다.") + QStringLiteral("\n") +
                       QStringLiteral("서버: ") + c.path + QStringLiteral("\n") +
                       QStringLiteral("서버 관리자에게 문의하거나 백업해 둔 자료로 복원하세요."),
                   QStringLiteral("데이터베이스 손상"));
    else
        MsgWarning(damageText(c.path), QStringLiteral("데이터베이스 손상"));
}

// First column of the first row of a statement run straight on `db`; invalid on failure.
QVariant rawScalar(sqlite3* db, const char* sql, int* rc = nullptr) {
    sqlite3_stmt* st = nullptr;
    int r = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    QVariant out;
    if (r == SQLITE_OK) {
        r = sqlite3_step(st);
        if (r == SQLITE_ROW) {
            out = columnValue(st, 0);
            r = SQLITE_OK;
        } else if (r == SQLITE_DONE) {
            r = SQLITE_OK;
        }
    }
    sqlite3_finalize(st);
    if (rc) *rc = r;
    return out;
}

// A file is ours when it carries the mark, or (made before the mark existed) holds the
// member and option tables. Nothing is written to any other file.
bool isMemberDeskFile(sqlite3* db) {
    const int id = rawScalar(db, "PRAGMA application_id").toInt();
    if (id == kApplicationId) return true;
    if (id != 0) return false;
    return rawScalar(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                         "lower(name) IN ('tblfriend', 'options')")
               .toInt() == 2;
}

bool markedShared(sqlite3* db) {
    return rawScalar(db, "SELECT optvalue FROM options WHERE optname = 'shareddb'").toString() ==
           QStringLiteral("1");
}

} // namespace

bool IsDamageCode(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

namespace {

// Opens the shared connection on a database server. Only a MemberDesk database (its
// member and option tables) is taken; nothing is written to any other.
// What the connected server database holds: MemberDesk's tables, none, or another's.
ServerProbe probeTables(pg::Connection& server, QString* why, int* code) {
    const pg::Result r = server.exec(
        QStringLiteral("SELECT COUNT(*), SUM(CASE WHEN lower(table_name) IN ('tblfriend', 'options') THEN 1 ELSE 0 END) "
                       "FROM information_schema.tables WHERE table_schema = current_schema()"),
        {}, 1);
    if (r.rc != pg::Ok) {
        *why = r.error;
        *code = r.rc;
        return ServerProbe::Failed;
    }
    if (r.rows.value(0).value(1).toInt() == 2) return ServerProbe::Ready;
    *why = QStringLiteral("서버의 데이터베이스가 MemberDesk의 데이터베이스가 아닙니다. "
                          "다른 프로그램의 자료는 바꾸지 않고 그대로 둡니다.");
    *code = SQLITE_NOTADB;
    return r.rows.value(0).value(0).toInt() == 0 ? ServerProbe::Empty : ServerProbe::Foreign;
}

bool openServer(const QString& location, const QString& password, bool readOnly, bool logging) {
    Connection& c = conn();
    auto server = std::make_unique<pg::Connection>();
    QString why;
    int code = 0;
    if (!server->open(location, password, readOnly, &why, &code)) {
        c.lastError = why;
        c.lastErrorCode = code;
        return false;
    }
    server->onWait = [] {
        Connection& cc = conn();
        if (cc.waiting) return;
        cc.waiting = true;
        if (busyBegin()) busyBegin()();
    };
    const ServerProbe kind = probeTables(*server, &why, &code);
    endBusyWait();
    if (kind != ServerProbe::Ready) {
        c.lastError = why;
        c.lastErrorCode = code;
        return false;
    }
    server->setLockTimeout(c.busyTimeoutMs);
    c.path = server->location();
    c.server = std::move(server);
    c.readOnly = readOnly;
    c.logging = logging;
    maintainLogFolder();
    return true;
}

} // namespace

bool IsServerLocation(const QString& location) { return pg::IsServerLocation(location); }

bool ServerDatabase() { return conn().server != nullptr; }

ServerProbe ProbeServerDatabase(const QString& location, const QString& password, QString* error) {
    QString why;
    int code = 0;
    pg::Connection server;
    ServerProbe kind = ServerProbe::Failed;
    if (!pg::IsServerLocation(location))
        why = QStringLiteral("데이터베이스 서버의 주소가 아닙니다.");
    else if (server.open(location, password, true, &why, &code))
        kind = probeTables(server, &why, &code);
    if (error) *error = kind == ServerProbe::Ready ? QString() : why;
    return kind;
}

bool OpenDatabase(const QString& path, const QString& password, bool readOnly, bool logging) {
    DBTerminate();
    Connection& c = conn();
    c.lastError.clear();
    c.lastErrorCode = 0;
    c.lastFailed = false;
    c.damageShown = false;
    c.busyTimeoutMs = kDefaultBusyTimeoutMs;
    if (pg::IsServerLocation(path)) return openServer(path, password, readOnly, logging);

    // What lies at the path is checked before the engine touches it: the engine would take
    // an empty file for an empty database and delete a journal beside it.
    const QFileInfo fi(path);
    const QString fileLine = QStringLiteral("\n") + QStringLiteral("파일: ") + path;
    if (fi.isDir()) {
        c.lastError = QStringLiteral("데이터베이스 파일 자리에 같은 이름의 폴더가 있습니다.") + fileLine;
        c.lastErrorCode = SQLITE_CANTOPEN;
        return false;
    }
    if (!fi.exists()) {
        c.lastError = QStringLiteral("데이터베이스 파일이 없습니다.") + fileLine;
        c.lastErrorCode = SQLITE_CANTOPEN;
        return false;
    }
    if (!fi.isReadable()) {
        c.lastError = QStringLiteral("데이터베이스 파일을 읽을 권한이 없습니다.") + fileLine;
        c.lastErrorCode = SQLITE_PERM;
        return false;
    }
    if (fi.size() == 0) {
        // New databases are built beside and renamed into place: an empty file under the
        // real name was not made by this program, so it is left as it is.
        c.lastError = QStringLiteral("데이터베이스 파일이 비어 있습니다 (0바이트).") + fileLine;
        const QFileInfo journal(path + QStringLiteral("-journal"));
        if (journal.exists())
            c.lastError += QStringLiteral("\n") +
                           QStringLiteral("옆에 %1바이트의 저널 파일이 있습니다: ").arg(journal.size()) +
                           journal.fileName();
        c.lastError += QStringLiteral("\n") +
                       QStringLiteral("이 프로그램이 만든 파일이 아니므로 지우거나 바꾸지 않았습니다.");
        c.lastErrorCode = SQLITE_NOTADB;
        return false;
    }

    sqlite3* db = nullptr;
    // The connection is only ever used from the GUI thread, so the engine's per-call
    // locking is left out (it showed up on every column read of large lists).
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const QByteArray file = path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr);
    auto failWith = [&](const QString& why, int code = -1) {
        c.lastError = why;
        c.lastErrorCode = code >= 0 ? code : db ? sqlite3_errcode(db) & 0xff : SQLITE_NOMEM;
        endBusyWait();
        sqlite3_close(db);
        return false;
    };
    // An engine failure while opening: one Korean cause line, the engine's text to the log.
    auto failOpening = [&](int code) {
        const int primary = (db ? sqlite3_extended_errcode(db) : code) & 0xff;
        qCInfo(lcStartup, "OpenDatabase %s: %s (%d)", qPrintable(path),
                  db ? sqlite3_errmsg(db) : "out of memory", db ? sqlite3_extended_errcode(db) : code);
        const QString folder = fi.absolutePath();
        QString cause;
        if ((primary == SQLITE_IOERR || primary == SQLITE_FULL || primary == SQLITE_CANTOPEN) &&
            QStorageInfo(folder).bytesAvailable() >= 0 && QStorageInfo(folder).bytesAvailable() < kLowDiskBytes)
            cause = DbFailureCause(SQLITE_FULL);
        else if (primary == SQLITE_CANTOPEN && !QFileInfo(folder).isWritable())
            cause = QStringLiteral("데이터베이스 폴더에 쓸 수 없습니다.") + QStringLiteral("\n") +
                    QStringLiteral("폴더: ") + folder;
        else if (primary == SQLITE_CANTOPEN && !readOnly && !fi.isWritable())
            cause = QStringLiteral("데이터베이스 파일에 쓸 권한이 없습니다.");
        else
            cause = DbFailureCause(primary);
        if (cause.isEmpty()) cause = QStringLiteral("데이터베이스 파일을 열 수 없습니다.");
        return failWith(cause + (cause.contains(path) ? QString() : fileLine), primary);
    };
    if (rc != SQLITE_OK) return failOpening(rc);

    sqlite3_busy_handler(db, busyHandler, nullptr);
    // Reading the catalogue proves the file really is a database.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (IsDamageCode(rc)) return failWith(damageText(path), rc & 0xff);
    if (rc != SQLITE_OK) return failOpening(rc);
    if (!isMemberDeskFile(db))
        return failWith(QStringLiteral("MemberDesk의 데이터베이스 파일이 아닙니다. "
                                       "다른 프로그램의 파일은 바꾸지 않고 그대로 둡니다."),
                        SQLITE_NOTADB);
    // A folder that cannot be written keeps the journal from being made: no write could
    // succeed, so the file counts as read-only (and start-up says so).
    const bool fileReadOnly = readOnly || sqlite3_db_readonly(db, "main") == 1 ||
                              !QFileInfo(fi.absolutePath()).isWritable();

    // WAL on a disk only this PC uses; the rollback journal for a file several PCs share,
    // since WAL's shared memory does not work across machines. The mode of a shared file is
    // read back: a PC that cannot get it (another one holds the file in WAL) must not run.
    const bool shared = App().sharedDatabase || App().clientMode != 0 || markedShared(db);
    if (!fileReadOnly) {
        sqlite3_exec(db, shared ? "PRAGMA journal_mode=DELETE" : "PRAGMA journal_mode=WAL", nullptr,
                     nullptr, nullptr);
    }
    int modeRc = SQLITE_OK;
    const QString mode = rawScalar(db, "PRAGMA journal_mode", &modeRc).toString().toLower();
    if (shared && mode != QStringLiteral("delete")) {
        qCWarning(lcStartup, "OpenDatabase: shared file stays in journal mode '%s' (%s)",
                  qPrintable(mode), sqlite3_errmsg(db));
        return failWith(
            QStringLiteral("여러 컴퓨터가 함께 쓰는 데이터베이스를 안전한 저널 모드로 열 수 "
                           "없습니다. 다른 컴퓨터가 이 파일을 단독(WAL) 모드로 열고 있습니다. "
                           "서버 컴퓨터의 네트워크 설정을 '서버'로 저장한 뒤 모든 컴퓨터에서 "
                           "프로그램을 다시 시작하세요."),
            SQLITE_BUSY);
    }
    if (!shared && mode != QStringLiteral("wal") && !fileReadOnly)
        qCInfo(lcStartup, "OpenDatabase: journal mode stays '%s'", qPrintable(mode));
    // The first shared open marks the file, so that a later stand-alone open of the same
    // file keeps the rollback journal as well.
    if (shared && !fileReadOnly && !markedShared(db)) {
        sqlite3_exec(db, "UPDATE options SET optvalue = '1' WHERE optname = 'shareddb'", nullptr,
                     nullptr, nullptr);
        if (sqlite3_changes(db) == 0)
            sqlite3_exec(db, "INSERT INTO options (optname, optvalue) VALUES ('shareddb', '1')",
                         nullptr, nullptr, nullptr);
    }
    endBusyWait();
    // References are guarded by the program itself (IsCodeInUse before deletes).
    sqlite3_exec(db, "PRAGMA foreign_keys=OFF", nullptr, nullptr, nullptr);
    // A page cache of up to 64 MiB (the default is 2 MiB): lists scan the member table
    // through its group index, and with the small cache every search re-read the whole
    // file from the operating system. Memory is only taken as pages are read. Sorts and
    // temporary indexes stay in memory as well.
    sqlite3_exec(db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
    if (!RegisterSqlFunctions(db)) return failWith(QStringLiteral("SQL functions not registered"));

    c.db = db;
    c.path = path;
    c.readOnly = fileReadOnly;
    c.logging = logging;
    maintainLogFolder();
    return true;
}

bool DatabaseReadOnly() {
    return conn().open() && conn().readOnly;
}

bool MarkDatabase() {
    // A server database is recognised by its tables.
    if (conn().server) return true;
    if (!conn().db) return false;
    if (rawScalar(conn().db, "PRAGMA application_id").toInt() == kApplicationId) return true;
    return sqlite3_exec(conn().db,
                        ("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str(),
                        nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString DbFailureCause(int code) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("다른 컴퓨터에서 자료를 저장하고 있습니다. 잠시 후 다시 시도하세요.");
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return QStringLiteral("데이터베이스 파일이 읽기 전용입니다.");
    case SQLITE_FULL:
        return QStringLiteral("디스크 공간이 부족합니다.");
    case SQLITE_IOERR:
        return QStringLiteral("디스크를 읽거나 쓸 수 없습니다.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("데이터베이스 파일이 손상되었습니다. 백업해 둔 자료로 복원하세요.");
    case SQLITE_CANTOPEN:
        if (conn().server)
            return QStringLiteral("데이터베이스 서버와의 연결이 끊어졌습니다. 저장하지 못한 자료는 "
                                  "연결이 돌아온 뒤 다시 저장하세요.");
        return QStringLiteral("데이터베이스 파일을 열 수 없습니다.");
    case SQLITE_AUTH:
        return QStringLiteral("데이터베이스 서버가 로그인을 거부했습니다.");
    default:
        return {};
    }
}

QString ServerOutageText(const QString& engineText) {
    const QString t = engineText.toLower();
    QString cause;
    if (t.contains(QLatin1String("administrator command")) || t.contains(QLatin1String("starting up")) ||
        t.contains(QLatin1String("shutting down")) || t.contains(QLatin1String("not yet accepting")) ||
        t.contains(QLatin1String("recovery")))
        cause = QStringLiteral("서버가 다시 시작되는 중입니다.");
    else if (t.contains(QLatin1String("could not connect")) || t.contains(QLatin1String("connection refused")) ||
             t.contains(QLatin1String("no such file")) || t.contains(QLatin1String("timeout")) ||
             t.contains(QLatin1String("no database connection")))
        cause = QStringLiteral("서버에 연결할 수 없습니다.");
    else
        cause = QStringLiteral("서버와의 연결이 끊어졌습니다.");
    return cause + u'\n' + QStringLiteral("잠시 후 다시 시도하세요.");
}

bool LastStatementFailed() {
    return conn().lastFailed;
}

void SetBusyWaitHooks(std::function<void()> begin, std::function<void()> end) {
    busyBegin() = std::move(begin);
    busyEnd() = std::move(end);
}

void DBTerminate() {
    Connection& c = conn();
    if (c.db) {
        if (sqlite3_close(c.db) != SQLITE_OK) {
            // A statement left open somewhere: close when it is finished.
            qCWarning(lcSql, "DBTerminate: %s", sqlite3_errmsg(c.db));
            sqlite3_close_v2(c.db);
        }
    }
    c.db = nullptr;
    c.server.reset();
    c.path.clear();
    c.readOnly = false;
    c.logging = false;
}

bool IsDatabaseOpen() { return conn().open(); }
qint64 StatementsRun() { return statementCounter(); }
QString LastDbError() { return conn().lastError; }
int LastDbErrorCode() { return conn().lastErrorCode; }
QString DatabasePath() { return conn().path; }

void SetBusyTimeout(int ms) {
    conn().busyTimeoutMs = ms;
    if (conn().server) conn().server->setLockTimeout(ms);
}

QString JournalMode() {
    if (conn().server) return {};
    return RunSilent(QStringLiteral("PRAGMA journal_mode")).value.toString().toLower();
}

// ---- shared operations ----

namespace {

// Echoed statement and engine texts are cut: a box is read, not scrolled.
QString cutForMessage(const QString& text) {
    constexpr int kMax = 500;
    return text.size() <= kMax ? text : text.left(kMax) + QStringLiteral("…");
}

// A lost or refused server connection fails every statement of a window step in turn:
// one box per step. The mark is cleared once control is back in the event loop.
void showOutageOnce(const QString& engineText) {
    static bool shown = false;
    if (shown) return;
    shown = true;
    MsgInfo(ServerOutageText(engineText), QStringLiteral("MDB 오류"));
    if (QCoreApplication::instance())
        QTimer::singleShot(0, QCoreApplication::instance(), [] { shown = false; });
    else
        shown = false;
}

// The error box of a failed read: the body is followed by the SQL text, except for a read
// kept out by another PC's lock or by a server outage, which get a Korean text (the
// statement and the engine's text go to the log).
void showStatementError(const StatementResult& r, const QString& sql) {
    conn().lastError = r.error;
    conn().lastErrorCode = r.rc & 0xff;
    const int primary = r.rc & 0xff;
    if (IsDamageCode(primary)) return; // the damage message was shown already
    if (conn().server && primary == SQLITE_CANTOPEN) {
        qCWarning(lcSql, "read failed, server connection (%s): %s", qPrintable(r.error), qPrintable(sql));
        showOutageOnce(r.error);
    } else if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        qCWarning(lcSql, "read refused by a lock (%s): %s", qPrintable(r.error), qPrintable(sql));
        MsgInfo(QStringLiteral("다른 컴퓨터에서 자료를 저장하고 있어 자료를 읽지 못했습니다.") +
                    u'\n' + QStringLiteral("잠시 후 다시 시도하세요."),
                QStringLiteral("MDB 오류"));
    } else if (r.prepareFailed) {
        MsgInfo(QStringLiteral("Jet Data Base Engine의 식을 확인하세요.") + u'\n' + cutForMessage(sql),
                QStringLiteral("Query"));
    } else {
        const QString cause = DbFailureCause(primary);
        MsgInfo(cutForMessage(r.error) + (cause.isEmpty() ? QString() : u'\n' + cause) + u'\n' +
                    cutForMessage(sql),
                QStringLiteral("ERROR"));
    }
}

} // namespace

int OpenRecordset(Recordset& rs, const QString& sql, const QVariantList& params) {
    rs.close();
    if (!conn().open()) {
        MsgInfo(QStringLiteral("Data Base MDB가 선언되지 않았습니다.") + u'\n' + sql,
                QStringLiteral("MDB 오류"));
        return -1;
    }
    StatementResult r = runStatement(sql, params, -1);
    if (r.rc != SQLITE_OK) {
        showStatementError(r, sql);
        return -1;
    }
    rs.setData(std::move(r.columns), std::move(r.rows));
    return rs.recordCount();
}

void CloseRecordset(Recordset& rs) { rs.close(); }

int ReadRows(const QString& sql, const QVariantList& params,
             const std::function<void(const DbRow&)>& onRow) {
    if (!conn().open()) {
        MsgInfo(QStringLiteral("Data Base MDB가 선언되지 않았습니다.") + u'\n' + sql,
                QStringLiteral("MDB 오류"));
        return -1;
    }
    const StatementResult r = runStatement(sql, params, -1, &onRow);
    if (r.rc != SQLITE_OK) {
        showStatementError(r, sql);
        return -1;
    }
    return r.rowsHandedOut;
}

int ExecSQL(const QString& sql, const QVariantList& params) {
    conn().lastErrorCode = 0;
    const StatementResult r = runStatement(sql, params, 0);
    int rows = 0;
    if (r.rc != SQLITE_OK) {
        conn().lastError = r.error;
        conn().lastErrorCode = r.rc & 0xff;
        qCWarning(lcSql, "ExecSQL rejected (%s): %s", qPrintable(r.error), qPrintable(sql));
    } else {
        rows = r.changes;
    }
    if (conn().logging && conn().open()) appendSqlLog(sql, rows);
    return rows;
}

QVariant GetScalar(const QString& sql, const QVariantList& params) {
    const StatementResult r = runStatement(sql, params, 1);
    if (r.rc != SQLITE_OK) {
        conn().lastError = r.error;
        conn().lastErrorCode = r.rc & 0xff;
        qCWarning(lcSql, "GetScalar failed (%s): %s", qPrintable(r.error), qPrintable(sql));
        return QString();
    }
    if (r.rows.isEmpty() || r.rows[0].isEmpty()) return QString();
    const QVariant v = r.rows[0][0];
    if (!v.isValid() || v.isNull()) return QString();
    return v;
}

int CountRows(const QString& table, const QString& condition, const QVariantList& params) {
    QString sql = QStringLiteral("SELECT COUNT(*) FROM ") + table;
    if (!condition.isEmpty()) sql += QStringLiteral(" WHERE ") + condition;
    // A failed count is not "no rows": a delete guard or a duplicate check reading 0 here
    // would let the action through.
    const StatementResult r = runStatement(sql, params, 1);
    if (r.rc != SQLITE_OK) {
        if (!conn().open())
            MsgInfo(QStringLiteral("Data Base MDB가 선언되지 않았습니다.") + u'\n' + sql,
                    QStringLiteral("MDB 오류"));
        else
            showStatementError(r, sql);
        return -1;
    }
    if (r.rows.isEmpty()) return 0;
    return int(toNumber(r.rows[0].value(0)));
}

int LastIdentity() {
    if (conn().server) return int(conn().server->lastIdentity());
    return conn().db ? int(sqlite3_last_insert_rowid(conn().db)) : 0;
}

QString SqlQuote(const QString& text) {
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return out;
}

QString NextSerialCode(const QString& table, const QString& column, int width,
                       const QString& prefix, const QString& extraCondition) {
    if (prefix.size() >= width) return prefix;
    const int d = width - int(prefix.size());
    const QString zeros(d, u'0');
    const QString nines(d, u'9');
    // The engine narrows the candidates; whether a code is made of digits only is decided
    // here, so that "1.23" or "12e4" (numeric to the engine) never counts.
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE ").arg(column, table);
    QVariantList params;
    if (prefix.isEmpty()) {
        sql += QStringLiteral("%1 BETWEEN ? AND ? AND LEN(%1) = %2").arg(column).arg(d);
        params << zeros << nines;
    } else {
        sql += QStringLiteral("%1 LIKE ? AND LEN(%1) = %2 AND \"RIGHT\"(%1, %3) BETWEEN ? AND ?")
                   .arg(column)
                   .arg(width)
                   .arg(d);
        params << prefix + u'%' << zeros << nines;
    }
    if (!extraCondition.isEmpty()) sql += QStringLiteral(" AND ") + extraCondition;

    const StatementResult r = runStatement(sql, params, -1);
    if (r.rc != SQLITE_OK) {
        showStatementError(r, sql);
        return {};
    }
    qlonglong max = 0;
    for (const auto& row : r.rows) {
        const QString v = row.value(0).toString();
        if (v.size() != width || !v.startsWith(prefix)) continue;
        const QStringView digits = QStringView(v).right(d);
        bool all = true;
        for (const QChar ch : digits)
            if (ch < u'0' || ch > u'9') {
                all = false;
                break;
            }
        if (all) max = qMax(max, digits.toLongLong());
    }
    const qlonglong next = max + 1;
    const QString candidate = prefix + QStringLiteral("%1").arg(next, d, 10, QChar(u'0'));
    if (candidate.size() > width) {
        MsgInfo(QStringLiteral("해당 순번이 최대값을 넘어 자동으로 값을 구할 수가 없습니다.(") + table +
                u'.' + column + u')');
        return {};
    }
    return candidate;
}

namespace {
bool duplicateFound(const QString& table, const QString& condition, const QVariantList& params,
                    const QString& value, bool ask, const QString& label, const QString& shownValue) {
    const int count = CountRows(table, condition, params);
    if (count == 0) return false;
    if (count < 0 || !ask) return true; // a failed check never lets the registration through
    const QString shown = shownValue.isEmpty() ? value : shownValue;
    const QString text = QStringLiteral("『") + shown + QStringLiteral("』는 이미 등록된 ") + label +
                         QStringLiteral("입니다.") + QStringLiteral("\n\n") +
                         QStringLiteral("그래도, 등록하시겠습니까?");
    const bool yes = AskYesNo(text, QStringLiteral("동일 ") + label + QStringLiteral(" 발견"), false);
    return !yes;
}
} // namespace

bool CheckDuplicate(const QString& table, const QString& column, const QString& value,
                    const QString& extraCondition, bool ask, const QString& label,
                    const QString& shownValue) {
    QString condition = column + QStringLiteral(" = ?");
    if (!extraCondition.isEmpty()) condition += QStringLiteral(" AND ") + extraCondition;
    return duplicateFound(table, condition, {value}, value, ask, label, shownValue);
}

bool CheckDuplicateAny(const QString& table, const QStringList& columns, const QString& value,
                       const QString& extraCondition, bool ask, const QString& label,
                       const QString& shownValue) {
    if (columns.isEmpty()) return false;
    // The value is bound once per column, so a quote in it cannot break the statement.
    QStringList parts;
    QVariantList params;
    for (const QString& c : columns) {
        parts << c + QStringLiteral(" = ?");
        params << value;
    }
    QString condition = u'(' + parts.join(QStringLiteral(" OR ")) + u')';
    if (!extraCondition.isEmpty()) condition += QStringLiteral(" AND ") + extraCondition;
    return duplicateFound(table, condition, params, value, ask, label, shownValue);
}

bool IsCodeInUse(const QString& table, const QString& column, const QString& value, bool textFlag,
                 const QString& label, bool show, const QString& extraCondition) {
    QVariant bound = value;
    if (!textFlag) {
        bool ok = false;
        const qlonglong n = value.trimmed().toLongLong(&ok);
        if (ok) bound = n;
    }
    QString condition = column + QStringLiteral(" = ?");
    if (!extraCondition.isEmpty()) condition += QStringLiteral(" AND ") + extraCondition;
    const int count = CountRows(table, condition, {bound});
    if (count < 0) return true; // the error was shown; the delete must not go ahead
    if (count > 0) {
        if (show)
            ShowInfo(QStringLiteral("해당 데이터가 「") + label +
                     QStringLiteral("」에서 사용중이기 때문에 삭제할 수 없습니다."));
        return true;
    }
    return false;
}

QString GetOption(const QString& name, const QString& defaultValue) {
    const StatementResult r =
        runStatement(QStringLiteral("SELECT optvalue FROM options WHERE optname = ?"), {name}, 1);
    if (r.rc == SQLITE_OK && !r.rows.isEmpty()) return r.rows[0].value(0).toString();
    if (r.rc != SQLITE_OK) {
        qCWarning(lcSql, "GetOption(%s): %s", qPrintable(name), qPrintable(r.error));
        return defaultValue;
    }
    ExecSQL(QStringLiteral("INSERT INTO options (optname, optvalue) VALUES (?, ?)"), {name, defaultValue});
    return defaultValue;
}

bool SetOption(const QString& name, const QString& value) {
    if (ExecSQL(QStringLiteral("UPDATE options SET optvalue = ? WHERE optname = ?"), {value, name}) > 0)
        return true;
    return ExecSQL(QStringLiteral("INSERT INTO options (optname, optvalue) VALUES (?, ?)"),
                   {name, value}) > 0;
}

void ShowInfo(const QString& message, const QString& title) { MsgInfo(message, title); }

// ---- Transaction ----

namespace {
bool inTransaction() {
    if (conn().server) return conn().server->inTransaction();
    return conn().db && !sqlite3_get_autocommit(conn().db);
}
} // namespace

Transaction::Transaction() {
    // Nested use joins the outer transaction: only the outermost one commits.
    if (conn().open() && !inTransaction())
        m_active = RunSilent(QStringLiteral("BEGIN IMMEDIATE")).ok;
    m_ok = conn().open() && (m_active || inTransaction());
}

Transaction::~Transaction() {
    // The engine may have rolled back already (a full disk does); and the rollback must
    // not hide why the writes failed.
    if (m_active && conn().open() && inTransaction()) {
        Connection& c = conn();
        const bool failed = c.lastFailed;
        const QString error = c.lastError;
        const int code = c.lastErrorCode;
        RunSilent(QStringLiteral("ROLLBACK"));
        if (failed) {
            c.lastFailed = true;
            c.lastError = error;
            c.lastErrorCode = code;
        }
    }
}

bool Transaction::commit() {
    if (!m_active) return conn().open();
    const SqlOutcome o = RunSilent(QStringLiteral("COMMIT"));
    if (o.ok) m_active = false;
    return o.ok;
}

// ---- shared look-ups ----

double FriendBalance(int friendCode, int exceptTrade) {
    QString lines = QStringLiteral("SELECT SUM(s.dsum) AS sum1 FROM tbltradesub as s, tbltrade as t "
                                   "WHERE t.code = s.ctbltrade AND t.ctblfriend = ?");
    QString paid = QStringLiteral("SELECT SUM(dmoney+dcard+daccount+lpoint+ddc) AS sum1 FROM tbltrade "
                                  "WHERE ctblfriend = ?");
    QVariantList params{friendCode};
    if (exceptTrade != -1) {
        lines += QStringLiteral(" AND s.ctbltrade <> ?");
        paid += QStringLiteral(" AND code <> ?");
        params << exceptTrade;
    }
    return toNumber(GetScalar(lines, params)) - toNumber(GetScalar(paid, params));
}

int FriendPointBalance(int friendCode, int exceptTrade) {
    QString sql = QStringLiteral("SELECT SUM(lstackpoint) AS sum1, SUM(lpoint) AS sum2 FROM tbltrade "
                                 "WHERE ctblfriend = ?");
    QVariantList params{friendCode};
    if (exceptTrade != -1) {
        sql += QStringLiteral(" AND code <> ?");
        params << exceptTrade;
    }
    const StatementResult r = runStatement(sql, params, 1);
    if (r.rc != SQLITE_OK || r.rows.isEmpty()) return 0;
    return int(qRound64(toNumber(r.rows[0].value(0)) - toNumber(r.rows[0].value(1))));
}

TradeLineSum TradeLines(int tradeCode) {
    TradeLineSum out;
    const StatementResult r = runStatement(
        QStringLiteral("SELECT COUNT(code) AS sum1, SUM(dsum) AS sum2 FROM tbltradesub WHERE ctbltrade = ?"),
        {tradeCode}, 1);
    if (r.rc != SQLITE_OK || r.rows.isEmpty()) return out;
    out.count = int(toNumber(r.rows[0].value(0)));
    out.total = toNumber(r.rows[0].value(1));
    return out;
}

double GroupMonDetailTotal(int groupMonCode) {
    return toNumber(GetScalar(
        QStringLiteral("SELECT SUM(smoney) AS ssum FROM tblsubdata WHERE ctblgroupmon = ?"), {groupMonCode}));
}

double GroupSettlementMon(const QString& groupName) {
    return toNumber(
        GetScalar(QStringLiteral("SELECT settlementmon FROM tblgroup WHERE gname = ?"), {groupName}));
}

GroupRepeat GroupRepeatByName(const QString& groupName) {
    GroupRepeat out;
    const StatementResult r = runStatement(
        QStringLiteral("SELECT repeatclass, settlementday FROM tblgroup WHERE gname = ?"), {groupName}, 1);
    if (r.rc != SQLITE_OK || r.rows.isEmpty()) return out;
    out.repeatClass = r.rows[0].value(0).toString();
    out.settlementDay = r.rows[0].value(1).toString();
    return out;
}

QString GroupNameByCode(int code) {
    return scalarText(QStringLiteral("SELECT gname FROM tblgroup WHERE code = ?"), {code});
}

int GroupCodeByName(const QString& groupName) {
    return GetScalar(QStringLiteral("SELECT code FROM tblgroup WHERE gname = ?"), {groupName}).toInt();
}

QString FriendNameByCode(int code) {
    return scalarText(QStringLiteral("SELECT sname FROM tblfriend WHERE code = ? AND code <> 1"), {code});
}

QString AccountNameByCode(int code) {
    return scalarText(QStringLiteral("SELECT accountname FROM tblgrouping WHERE code <> 1 AND code = ?"),
                      {code});
}

int AccountNameCount(const QString& accountClass, const QString& name, int exceptCode) {
    QString sql = QStringLiteral("SELECT count(accountname) AS ssum FROM tblgrouping "
                                 "WHERE accountclass = ? AND accountname = ?");
    QVariantList params{accountClass, name};
    if (exceptCode != -1) {
        sql += QStringLiteral(" AND code <> ?");
        params << exceptCode;
    }
    const StatementResult r = runStatement(sql, params, 1);
    if (r.rc != SQLITE_OK) {
        showStatementError(r, sql);
        return -1;
    }
    return r.rows.isEmpty() ? 0 : int(toNumber(r.rows[0].value(0)));
}

int AccountCodeByName(const QString& name, const QString& accountClass) {
    return GetScalar(QStringLiteral("SELECT code FROM tblgrouping WHERE accountname = ? AND accountclass = ?"),
                     {name, accountClass})
        .toInt();
}

int AccountParentByName(const QString& cardName) {
    return GetScalar(QStringLiteral("SELECT ctblgrouping FROM tblgrouping WHERE accountname = ? "
                                    "AND accountclass = '2'"),
                     {cardName})
        .toInt();
}

// ---- SQL log ----

QString SqlLogFile() {
    return DataPath(QStringLiteral("log/SQLLog_") + Clock::today().toString(QStringLiteral("dd")) +
                    QStringLiteral(".dat"));
}

// Four upper-case hex digits per UTF-16 code unit. Line breaks inside a statement are
// encoded like any other character ("000A"), so one statement stays on one log line.
QString SqlLogHex(const QString& sql) {
    QString out;
    out.reserve(sql.size() * 4);
    for (const QChar ch : sql) out += QStringLiteral("%1").arg(ch.unicode(), 4, 16, QChar(u'0')).toUpper();
    return out;
}

// ---- silent access ----

SqlOutcome RunSilent(const QString& sql, const QVariantList& params) {
    const StatementResult r = runStatement(sql, params, 1);
    SqlOutcome o;
    o.ok = r.rc == SQLITE_OK;
    o.errorCode = r.rc & 0xff;
    o.error = r.error;
    o.prepareFailed = r.prepareFailed;
    o.changes = r.changes;
    if (o.ok && !r.rows.isEmpty() && !r.rows[0].isEmpty()) o.value = r.rows[0][0];
    return o;
}

QStringList TableColumns(const QString& table) {
    const StatementResult r =
        conn().server ? runStatement(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE "
                                                    "table_schema = current_schema() AND table_name = lower(?) "
                                                    "ORDER BY ordinal_position"),
                                     {table}, -1)
                      : runStatement(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"), {table}, -1);
    QStringList out;
    if (r.rc != SQLITE_OK) return out;
    for (const auto& row : r.rows) out << row.value(0).toString();
    return out;
}

bool TableExists(const QString& table) {
    if (conn().server)
        return RunSilent(QStringLiteral("SELECT COUNT(*) FROM information_schema.tables WHERE "
                                        "table_schema = current_schema() AND table_name = lower(?)"),
                         {table})
                   .value.toInt() > 0;
    return RunSilent(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                                    "lower(name) = lower(?)"),
                     {table})
               .value.toInt() > 0;
}

// ---- single records ----

std::optional<QVariantHash> ReadRecord(const QString& table, int code, const QStringList& columns) {
    if (columns.isEmpty()) return QVariantHash{};
    const QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                        QStringLiteral(" FROM ") + table + QStringLiteral(" WHERE code = ?");
    const StatementResult r = runStatement(sql, {code}, 1);
    if (r.rc != SQLITE_OK) {
        showStatementError(r, sql);
        return std::nullopt;
    }
    QVariantHash out;
    if (r.rows.isEmpty()) return out;
    for (int i = 0; i < columns.size(); ++i)
        out.insert(columns[i], r.rows[0].value(i));
    return out;
}

int UpdateRecord(const QString& table, int code, const QVariantHash& values) {
    if (values.isEmpty()) return 0;
    QStringList sets;
    QVariantList params;
    QStringList columns = values.keys();
    columns.sort();
    for (const QString& c : columns) {
        sets << c + QStringLiteral(" = ?");
        params << values.value(c);
    }
    params << code;
    return ExecSQL(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                       sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE code = ?"),
                   params);
}

// ---- server administration ----

bool ResetKeyCounters(QString* error) {
    if (!conn().server) return conn().db != nullptr;
    return conn().server->resetIdentities(error);
}

bool CreateServerDatabase(const QString& adminLocation, const QString& name, QString* error) {
    return pg::CreateDatabase(adminLocation, name, error);
}

bool DropServerDatabase(const QString& adminLocation, const QString& name, QString* error) {
    return pg::DropDatabase(adminLocation, name, error);
}

QString ServerLocationWithDatabase(const QString& location, const QString& name) {
    return pg::WithDatabase(location, name);
}
