// Statement running and error mapping: binding values, reading rows, the engine codes
// turned into Korean causes, and the boxes of failed reads.
#include "core/Log.h"
#include "db/Database.h"
#include "db/DbConnection.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "db/DatabaseStats.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>
#include <QTimer>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sqlite3.h>

namespace dbcore {

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
    switch (v.typeId()) { // the engine's own types first, without a conversion
    case QMetaType::LongLong:
        return double(*static_cast<const qlonglong*>(v.constData()));
    case QMetaType::Double:
        return *static_cast<const double*>(v.constData());
    case QMetaType::QString:
        return leadingNumber(*static_cast<const QString*>(v.constData()));
    default:
        return v.toDouble();
    }
}

QString textOf(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    if (v.typeId() == QMetaType::Double) {
        const double d = *static_cast<const double*>(v.constData());
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(qlonglong(d));
    }
    return v.toString();
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

QVariant columnValue(sqlite3_stmt* st, int col, LastText* last) {
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

// Position of `name` among a result's columns, case-insensitive; -1 when absent.
int columnIndexIn(const QStringList& columns, const QString& name) {
    // Names of another length never match, and most are: the length is compared first.
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].size() == name.size() && columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

namespace {

// UTF-8 bytes into `into`, reusing its buffer. UTF-16 takes at most as many units as UTF-8
// takes bytes; the decoder reads as QString::fromUtf8 does.
void decodeInto(const char* p, int bytes, QString& into) {
    if (bytes <= 0) {
        into.resize(0);
        return;
    }
    into.resize(bytes);
    // Dates, times, codes and amounts are ASCII: widened byte by byte.
    char16_t* out = reinterpret_cast<char16_t*>(into.data());
    int i = 0;
    while (i < bytes && static_cast<unsigned char>(p[i]) < 0x80) {
        out[i] = char16_t(p[i]);
        ++i;
    }
    if (i == bytes) return;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QChar* end = utf8.appendToBuffer(into.data(), QByteArrayView(p, bytes));
    into.resize(end - into.constData());
}

} // namespace

// The current row of a stepped statement, read straight from the engine.
class StatementRow final : public DbRow {
public:
    StatementRow(sqlite3_stmt* st, const QStringList& columns)
        : m_st(st), m_count(sqlite3_column_count(st)), m_columns(columns) {}
    int columnCount() const override { return m_count; }
    int columnIndex(const QString& name) const override { return columnIndexIn(m_columns, name); }
    bool isNull(int col) const override { return type(col) == SQLITE_NULL; }
    void text(int col, QString& into) const override {
        switch (type(col)) {
        case SQLITE_NULL: into.resize(0); return;
        case SQLITE_TEXT:
        case SQLITE_INTEGER: // an integer's text is its decimal digits, as QVariant writes them
            decodeInto(reinterpret_cast<const char*>(sqlite3_column_text(m_st, col)),
                       sqlite3_column_bytes(m_st, col), into);
            return;
        default: into = textOf(columnValue(m_st, col)); return;
        }
    }
    double number(int col) const override {
        const int t = type(col);
        if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) return sqlite3_column_double(m_st, col);
        return t == SQLITE_NULL ? 0.0 : toNumber(columnValue(m_st, col));
    }
    qint64 integer(int col) const override {
        const int t = type(col);
        if (t == SQLITE_INTEGER) return sqlite3_column_int64(m_st, col);
        return t == SQLITE_NULL ? 0 : qRound64(number(col));
    }
    QVariant value(int col) const override {
        return type(col) == SQLITE_NULL ? QVariant() : columnValue(m_st, col);
    }

private:
    int type(int col) const { return col < 0 || col >= m_count ? SQLITE_NULL : sqlite3_column_type(m_st, col); }
    sqlite3_stmt* m_st;
    int m_count;
    const QStringList& m_columns;
};

// A row the server sent, read in place.
class ServerRow final : public DbRow {
public:
    explicit ServerRow(const pg::ResultRow& row) : m_row(row) {}
    int columnCount() const override { return m_row.columnCount(); }
    int columnIndex(const QString& name) const override { return columnIndexIn(m_row.columns(), name); }
    bool isNull(int col) const override { return m_row.isNull(col); }
    void text(int col, QString& into) const override {
        if (m_row.isNull(col)) {
            into.resize(0);
            return;
        }
        const pg::ResultRow::Kind k = m_row.kind(col);
        if (k == pg::ResultRow::Text || k == pg::ResultRow::Integer) {
            int n = 0;
            const char* p = m_row.bytes(col, &n);
            decodeInto(p, n, into);
            return;
        }
        into = textOf(m_row.value(col));
    }
    double number(int col) const override {
        if (m_row.isNull(col)) return 0.0;
        const pg::ResultRow::Kind k = m_row.kind(col);
        if (k == pg::ResultRow::Integer || k == pg::ResultRow::Float || k == pg::ResultRow::Numeric) {
            int n = 0;
            return std::strtod(m_row.bytes(col, &n), nullptr);
        }
        return toNumber(m_row.value(col));
    }
    qint64 integer(int col) const override {
        if (m_row.isNull(col)) return 0;
        if (m_row.kind(col) == pg::ResultRow::Integer) {
            int n = 0;
            return std::strtoll(m_row.bytes(col, &n), nullptr, 10);
        }
        return qRound64(number(col));
    }
    QVariant value(int col) const override { return m_row.isNull(col) ? QVariant() : m_row.value(col); }

private:
    const pg::ResultRow& m_row;
};

// Runs one statement. `maxRows` limits the rows kept (-1 all); the statement still runs
// to its end so that writes complete. With a `sink` every row goes to it instead.
StatementResult runStatementRaw(const QString& sql, const QVariantList& params, int maxRows,
                                const RowSink* sink = nullptr);

qint64& statementCounter() {
    static qint64 n = 0;
    return n;
}

StatementResult runStatement(const QString& sql, const QVariantList& params, int maxRows,
                             const RowSink* sink) {
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
        int handed = 0;
        const std::function<void(const pg::ResultRow&)> toSink = [&](const pg::ResultRow& row) {
            (*sink)(ServerRow(row));
            ++handed;
        };
        pg::Result s = conn().server->exec(sql, params, maxRows, sink ? &toSink : nullptr);
        r.rc = s.rc;
        r.prepareFailed = s.prepareFailed;
        r.error = std::move(s.error);
        r.changes = s.changes;
        r.columns = std::move(s.columns);
        r.rows = std::move(s.rows);
        r.rowsHandedOut = handed;
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
                (*sink)(StatementRow(st, r.columns));
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
    // Rows written by the statement itself, as the server engine counts them: none when
    // the connection's running total did not move (CREATE/ALTER, for which
    // sqlite3_changes() would repeat the count of the last write), otherwise the
    // statement's own rows without those its triggers wrote (the ledger's totals).
    if (r.rc == SQLITE_OK)
        r.changes = sqlite3_total_changes64(db) == totalBefore ? 0 : int(sqlite3_changes64(db));
    return r;
}

void appendSqlLog(const QString& sql, int rows) {
    QFile f(SqlLogFile());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    const QString line = Clock::now().toString(QStringLiteral("yyMMddHHmmss")) + u'\t' +
                         SqlLogHex(sql) + QStringLiteral("; -> ") + QString::number(rows) + u'\n';
    f.write(line.toUtf8());
}

QString scalarText(const QString& sql, const QVariantList& params) {
    return GetScalar(sql, params).toString();
}

} // namespace dbcore

using namespace dbcore;

namespace dbcore {

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

bool IsDamageCode(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
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

