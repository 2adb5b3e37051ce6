#include "db/PgEngine.h"

#include "core/Log.h"
#include "db/DbConnection.h"

#include <QDate>
#include <QDebug>
#include <QLocale>
#include <QElapsedTimer>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

#include <libpq-fe.h>
#include <poll.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace pg {

namespace {

// Type numbers of the server's built-in types (pg_type.oid).
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700;

bool isNumericType(Oid t) {
    return t == kInt8 || t == kInt2 || t == kInt4 || t == kOid || t == kFloat4 || t == kFloat8 ||
           t == kNumeric;
}

bool isIntegerType(Oid t) { return t == kInt8 || t == kInt2 || t == kInt4 || t == kOid; }

// A text bound to a number column. A stored value is taken as the windows read typed
// numbers ("12abc" is 12, "" is 0; whole numbers for integer columns). A compared value
// that is no number of the column's kind matches nothing (NULL), as on the embedded
// engine, where such a text never equals a number.
std::optional<QByteArray> numberFor(const QString& text, Oid type, bool compared) {
    const QString t = text.trimmed();
    bool ok = false;
    double v = t.toDouble(&ok);
    if (ok && !std::isfinite(v)) ok = false;
    if (!ok) {
        if (compared) return std::nullopt;
        v = dbcore::leadingNumber(t);
    }
    if (isIntegerType(type)) {
        if (v != std::floor(v)) {
            if (compared) return std::nullopt;
            v = std::round(v);
        }
        if (std::fabs(v) > 9.2e18) return compared ? std::nullopt : std::optional<QByteArray>("0");
        return QByteArray::number(qlonglong(v));
    }
    if (ok && !t.isEmpty() && t.toDouble() == v) return t.toUtf8();
    return QByteArray::number(v, 'g', 17);
}

int codeForState(const QString& s, bool* prepareFailed) {
    *prepareFailed = false;
    if (s == QLatin1String("55P03") || s == QLatin1String("40P01") || s == QLatin1String("40001") ||
        s == QLatin1String("55006"))
        return Busy;
    if (s == QLatin1String("25006")) return ReadOnly;
    if (s == QLatin1String("42501")) return Perm;
    if (s == QLatin1String("53100")) return Full;
    if (s == QLatin1String("58030")) return IoErr;
    if (s == QLatin1String("XX001") || s == QLatin1String("XX002")) return Corrupt;
    if (s.startsWith(QLatin1String("08")) || s.startsWith(QLatin1String("57P"))) return CantOpen;
    if (s.startsWith(QLatin1String("23"))) return Constraint;
    if (s.startsWith(QLatin1String("28"))) return Auth;
    if (s.startsWith(QLatin1String("42"))) *prepareFailed = true;
    return Error;
}

struct Prepared {
    QByteArray name;
    std::vector<Oid> types;
    std::vector<bool> compared; // per placeholder: stands in a condition
    qint64 used = 0;
};

// In an index on expressions the server wants each expression in parentheses of its own:
// "ON t (substr(a, 2), b)" becomes "ON t ((substr(a, 2)), b)".
QString wrapIndexExpressions(const QString& sql) {
    static const QRegularExpression on(QStringLiteral("\\sON\\s+\\w+\\s*\\("), QRegularExpression::CaseInsensitiveOption);
    const auto m = on.match(sql);
    if (!m.hasMatch()) return sql;
    const qsizetype open = m.capturedEnd() - 1;
    QStringList parts;
    QString part;
    int depth = 0;
    qsizetype close = -1;
    for (qsizetype i = open + 1; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'(') ++depth;
        if (c == u')' && depth-- == 0) {
            close = i;
            break;
        }
        if (c == u',' && depth == 0) {
            parts << part;
            part.clear();
            continue;
        }
        part += c;
    }
    if (close < 0) return sql;
    parts << part;
    for (QString& p : parts) {
        const QString t = p.trimmed();
        if (t.contains(u'(') && !t.startsWith(u'(')) p = u'(' + t + u')';
    }
    return sql.left(open + 1) + parts.join(u',') + sql.mid(close);
}

} // namespace

bool IsServerLocation(const QString& location) {
    const QString t = location.trimmed();
    if (t.startsWith(QLatin1String("postgresql://")) || t.startsWith(QLatin1String("postgres://")))
        return true;
    // key=value text: the first word is followed by '='.
    static const QRegularExpression kv(QStringLiteral("^[a-z_]+\\s*="));
    return kv.match(t).hasMatch();
}

QString AdaptSql(const QString& sql, std::vector<bool>* inCondition) {
    bool condition = false;
    const QString head = sql.trimmed().left(12).toUpper();
    const bool ddl = head.startsWith(QLatin1String("CREATE TABLE")) || head.startsWith(QLatin1String("ALTER TABLE"));
    QString out;
    out.reserve(sql.size() + 16);
    int param = 0;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // Quoted text or a quoted name, with doubled quotes inside.
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(sql).mid(i, j - i + 1);
            i = j + 1;
        } else if (c == u'$' && i + 1 < n && sql[i + 1] == u'$') {
            // A function body in dollar quotes is passed on as it is.
            const qsizetype j = sql.indexOf(QLatin1String("$$"), i + 2);
            const qsizetype end = j < 0 ? n : j + 2;
            out += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            const qsizetype j = sql.indexOf(u'\n', i);
            const qsizetype end = j < 0 ? n : j;
            out += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == u'?') {
            out += u'$' + QString::number(++param);
            if (inCondition) inCondition->push_back(condition);
            ++i;
        } else if (c.isLetter() || c == u'_') {
            qsizetype j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_')) ++j;
            const QStringView word = QStringView(sql).mid(i, j - i);
            if (word.compare(QLatin1String("WHERE"), Qt::CaseInsensitive) == 0 ||
                word.compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0 ||
                word.compare(QLatin1String("HAVING"), Qt::CaseInsensitive) == 0)
                condition = true;
            if (word.compare(QLatin1String("LIKE"), Qt::CaseInsensitive) == 0) {
                out += QLatin1String("ILIKE");
            } else if (ddl && word.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
                out += QLatin1String("BIGINT");
            } else if (ddl && word.compare(QLatin1String("REAL"), Qt::CaseInsensitive) == 0) {
                out += QLatin1String("DOUBLE PRECISION");
            } else if (ddl && word.compare(QLatin1String("TEXT"), Qt::CaseInsensitive) == 0) {
                out += QLatin1String("TEXT COLLATE \"C\"");
            } else if (ddl && word.compare(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive) == 0) {
                out += QLatin1String("GENERATED BY DEFAULT AS IDENTITY");
            } else {
                out += word;
            }
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    if (head.startsWith(QLatin1String("CREATE INDEX")) || head.startsWith(QLatin1String("CREATE UNIQU")))
        return wrapIndexExpressions(out);
    return out;
}

QString ConnectFailureText(const QString& message, int* code) {
    const QString m = message.toLower();
    QString line;
    int c = CantOpen;
    if (m.contains(QLatin1String("timeout expired")) || m.contains(QLatin1String("timed out"))) {
        line = QStringLiteral("데이터베이스 서버가 응답하지 않습니다. 서버 컴퓨터가 켜져 있는지, "
                              "주소와 포트가 맞는지 확인하세요.");
    } else if (m.contains(QLatin1String("password")) || m.contains(QLatin1String("authentication")) ||
               (m.contains(QLatin1String("role")) && m.contains(QLatin1String("does not exist")))) {
        line = QStringLiteral("데이터베이스 서버가 로그인을 거부했습니다. 사용자 이름과 비밀번호를 확인하세요.");
        c = Auth;
    } else if (m.contains(QLatin1String("database")) && m.contains(QLatin1String("does not exist"))) {
        line = QStringLiteral("데이터베이스 서버에 지정한 데이터베이스가 없습니다. 데이터베이스 이름을 확인하세요.");
    } else {
        line = QStringLiteral("데이터베이스 서버에 연결할 수 없습니다. 서버 주소와 포트를 확인하세요.");
    }
    if (code) *code = c;
    const QString detail = message.trimmed();
    return detail.isEmpty() ? line : line + u'\n' + detail;
}

struct Connection::Impl {
    PGconn* conn = nullptr;
    QHash<QString, Prepared> prepared;
    qint64 useCounter = 0;
    int statementCounter = 0;
    int lockTimeoutMs = 5000;
    bool readOnly = false;

    bool good() const { return conn && PQstatus(conn) == CONNECTION_OK; }

    // Runs a fixed statement of the layer itself, waiting without hooks.
    bool simple(const char* sql, QString* error = nullptr) {
        PGresult* res = PQexec(conn, sql);
        const ExecStatusType st = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
        const bool ok = st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
        if (!ok && error)
            *error = QString::fromUtf8(res ? PQresultErrorMessage(res) : PQerrorMessage(conn)).trimmed();
        PQclear(res);
        return ok;
    }

    bool setUpSession(QString* error) {
        prepared.clear();
        // Notices ("... does not exist, skipping") are no failures: not shown.
        PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
        const std::string lock = "SET lock_timeout = " + std::to_string(lockTimeoutMs);
        if (!simple(lock.c_str(), error)) return false;
        if (readOnly && !simple("SET default_transaction_read_only = on", error)) return false;
        // Lists read whole tables: sorts stay in memory (as the file's 64 MiB page cache
        // does), and no query waits for machine code to be compiled for it.
        if (!simple("SET work_mem = '64MB'", error) || !simple("SET jit = off", error)) return false;
        return true;
    }
};

Connection::Connection() : d(std::make_unique<Impl>()) {}

Connection::~Connection() { close(); }

bool Connection::isOpen() const { return d->conn != nullptr; }

void Connection::close() {
    if (d->conn) PQfinish(d->conn);
    d->conn = nullptr;
    d->prepared.clear();
    m_inTransaction = false;
    m_transactionLost = false;
    m_shownLocation.clear();
}

void Connection::setLockTimeout(int ms) {
    d->lockTimeoutMs = qMax(1, ms);
    if (d->good() && !m_inTransaction) {
        const std::string lock = "SET lock_timeout = " + std::to_string(d->lockTimeoutMs);
        d->simple(lock.c_str());
    }
}

bool Connection::beginSnapshot(QString* error) {
    if (!isOpen() || m_inTransaction) return false;
    if (!d->simple("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", error)) return false;
    m_inTransaction = true;
    return true;
}

bool Connection::open(const QString& location, const QString& password, bool readOnly, QString* error,
                      int* code) {
    close();
    char* parseError = nullptr;
    const QByteArray loc = location.trimmed().toUtf8();
    PQconninfoOption* opts = PQconninfoParse(loc.constData(), &parseError);
    if (!opts) {
        if (error)
            *error = QStringLiteral("데이터베이스 서버의 연결 정보가 올바르지 않습니다.") + u'\n' +
                     QString::fromUtf8(parseError ? parseError : "").trimmed();
        if (code) *code = CantOpen;
        PQfreemem(parseError);
        return false;
    }
    std::vector<std::string> keys, values;
    bool hasTimeout = false;
    QStringList shown;
    for (PQconninfoOption* o = opts; o->keyword; ++o) {
        if (!o->val) continue;
        const std::string k = o->keyword;
        if (k == "password" && !password.isEmpty()) continue;
        if (k == "connect_timeout") hasTimeout = true;
        if (k == "client_encoding") continue;
        keys.push_back(k);
        values.push_back(o->val);
        if (k != "password" && k != "passfile")
            shown << QString::fromUtf8(o->keyword) + u'=' + QString::fromUtf8(o->val);
    }
    PQconninfoFree(opts);
    if (!password.isEmpty()) {
        keys.emplace_back("password");
        values.push_back(password.toStdString());
    }
    if (!hasTimeout) {
        // A server that does not answer must not hold the window for long.
        keys.emplace_back("connect_timeout");
        values.emplace_back("5");
    }
    keys.emplace_back("client_encoding");
    values.emplace_back("UTF8");
    keys.emplace_back("fallback_application_name");
    values.emplace_back("memberdesk");
    std::vector<const char*> k, v;
    for (size_t i = 0; i < keys.size(); ++i) {
        k.push_back(keys[i].c_str());
        v.push_back(values[i].c_str());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    d->conn = PQconnectdbParams(k.data(), v.data(), 0);
    if (!d->conn || PQstatus(d->conn) != CONNECTION_OK) {
        const QString why = d->conn ? QString::fromUtf8(PQerrorMessage(d->conn)) : QStringLiteral("out of memory");
        if (error) *error = ConnectFailureText(why, code);
        if (d->conn) PQfinish(d->conn);
        d->conn = nullptr;
        return false;
    }
    d->readOnly = readOnly;
    QString why;
    if (!d->setUpSession(&why)) {
        if (error) *error = why;
        if (code) *code = Error;
        PQfinish(d->conn);
        d->conn = nullptr;
        return false;
    }
    m_shownLocation = shown.join(u' ');
    return true;
}

namespace {

QVariant cellValue(const PGresult* res, int row, int col, Oid type) {
    if (PQgetisnull(res, row, col)) return {};
    const char* p = PQgetvalue(res, row, col);
    const int len = PQgetlength(res, row, col);
    switch (type) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: return QVariant(qlonglong(std::strtoll(p, nullptr, 10)));
    case kFloat4:
    case kFloat8: return QVariant(std::strtod(p, nullptr));
    case kNumeric: {
        if (std::strpbrk(p, ".eEN")) return QVariant(std::strtod(p, nullptr));
        return QVariant(qlonglong(std::strtoll(p, nullptr, 10)));
    }
    case kBool: return QVariant(qlonglong(p[0] == 't' ? 1 : 0));
    case kBytea: {
        size_t n = 0;
        unsigned char* b = PQunescapeBytea(reinterpret_cast<const unsigned char*>(p), &n);
        QByteArray out(reinterpret_cast<const char*>(b), qsizetype(n));
        PQfreemem(b);
        return out;
    }
    default: {
        static const QVariant empty(QStringLiteral(""));
        if (len == 0) return empty;
        return QVariant(QString::fromUtf8(p, len));
    }
    }
}

} // namespace

ResultRow::Kind ResultRow::kind(int col) const {
    switch (m_types[size_t(col)]) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: return Integer;
    case kFloat4:
    case kFloat8: return Float;
    case kNumeric: return Numeric;
    case kBool: return Bool;
    case kBytea: return Bytea;
    default: return Text;
    }
}

bool ResultRow::isNull(int col) const {
    return col < 0 || col >= columnCount() || PQgetisnull(m_res, m_row, col);
}

const char* ResultRow::bytes(int col, int* length) const {
    if (isNull(col)) {
        *length = 0;
        return "";
    }
    *length = PQgetlength(m_res, m_row, col);
    return PQgetvalue(m_res, m_row, col);
}

QVariant ResultRow::value(int col) const {
    if (col < 0 || col >= columnCount()) return {};
    return cellValue(m_res, m_row, col, m_types[size_t(col)]);
}

namespace {

// Waits for the statement sent on `conn`, calling `onWait` once when it takes a while
// (another connection holds a lock), and returns its last result (nullptr when the
// connection broke).
PGresult* awaitResult(PGconn* conn, const std::function<void()>& onWait) {
    QElapsedTimer timer;
    timer.start();
    bool announced = false;
    for (;;) {
        if (!PQconsumeInput(conn)) break;
        if (!PQisBusy(conn)) break;
        pollfd p{PQsocket(conn), POLLIN, 0};
        ::poll(&p, 1, 50);
        if (!announced && timer.elapsed() >= 200) {
            announced = true;
            if (onWait) onWait();
        }
    }
    PGresult* last = nullptr;
    while (PGresult* r = PQgetResult(conn)) {
        PQclear(last);
        last = r;
    }
    return last;
}

} // namespace

Result Connection::exec(const QString& sql, const QVariantList& params, int maxRows,
                       const std::function<void(const ResultRow&)>* sink) {
    Result r;
    if (!d->conn) {
        r.rc = CantOpen;
        r.prepareFailed = true;
        r.error = QStringLiteral("no database connection");
        return r;
    }
    // Only a short text starting with B, C, E or R can be a transaction's BEGIN, COMMIT,
    // END or ROLLBACK: no other statement is normalised just to find that out.
    QString word;
    qsizetype first = 0;
    while (first < sql.size() && sql.at(first).isSpace()) ++first;
    const char16_t lead = first < sql.size() ? (sql.at(first).unicode() | 0x20) : 0;
    if (sql.size() <= 64 && (lead == u'b' || lead == u'c' || lead == u'e' || lead == u'r')) {
        word = sql.trimmed();
        while (word.endsWith(u';')) word.chop(1);
        word = word.simplified().toUpper();
    }
    const bool begin = word == QLatin1String("BEGIN") || word.startsWith(QLatin1String("BEGIN "));
    const bool commit = word == QLatin1String("COMMIT") || word == QLatin1String("END");
    const bool rollback = word == QLatin1String("ROLLBACK");

    auto lost = [&](const QString& why) {
        r.rc = CantOpen;
        r.error = why.isEmpty() ? QStringLiteral("connection to the database server lost") : why;
        r.sqlState = QStringLiteral("08006");
    };

    if (m_transactionLost) {
        // The server rolled the transaction back when the connection dropped: nothing more
        // may be written as if it were still open, and its end reports the loss.
        if (rollback || commit) {
            m_transactionLost = false;
            m_inTransaction = false;
            if (rollback) return r;
        }
        lost(QStringLiteral("connection to the database server lost; the transaction was rolled back"));
        return r;
    }
    if (!d->good() && !m_inTransaction) {
        // A connection that dropped between statements is made again once.
        PQreset(d->conn);
        if (!d->good() || !d->setUpSession(nullptr)) {
            lost(QString::fromUtf8(PQerrorMessage(d->conn)).trimmed());
            return r;
        }
    }

    if (begin || commit || rollback) {
        const char* text = begin ? "BEGIN" : commit ? "COMMIT" : "ROLLBACK";
        PQsendQuery(d->conn, text);
        PGresult* res = awaitResult(d->conn, onWait);
        const ExecStatusType st = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
        if (st == PGRES_COMMAND_OK && begin) {
            // One writing transaction at a time, as on the embedded engine (whose
            // transactions take the write lock when they begin): what a transaction reads
            // before it writes cannot change under it. Waits up to the lock limit.
            PQclear(res);
            PQsendQuery(d->conn, "SELECT pg_advisory_xact_lock(1296323403)");
            res = awaitResult(d->conn, onWait);
            if (!res || PQresultStatus(res) != PGRES_TUPLES_OK) {
                r.sqlState = QString::fromLatin1(res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : "08006");
                r.rc = codeForState(r.sqlState, &r.prepareFailed);
                r.error = res ? QString::fromUtf8(PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY))
                              : QString::fromUtf8(PQerrorMessage(d->conn)).trimmed();
                PQclear(res);
                d->simple("ROLLBACK");
                return r;
            }
            m_inTransaction = true;
        } else if (st == PGRES_COMMAND_OK) {
            m_inTransaction = false;
            // COMMIT of a transaction that failed is answered with ROLLBACK.
            if (commit && std::strcmp(PQcmdStatus(res), "ROLLBACK") == 0) {
                r.rc = Error;
                r.error = QStringLiteral("the transaction was rolled back");
            }
        } else if (!res || !d->good()) {
            if (!begin) m_inTransaction = false;
            lost(QString::fromUtf8(PQerrorMessage(d->conn)).trimmed());
        } else {
            r.sqlState = QString::fromLatin1(PQresultErrorField(res, PG_DIAG_SQLSTATE));
            r.rc = codeForState(r.sqlState, &r.prepareFailed);
            r.error = QString::fromUtf8(PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY));
            if (commit) m_inTransaction = false;
        }
        PQclear(res);
        return r;
    }

    // Inside a transaction each statement runs under a savepoint, so a statement the
    // server rejects leaves the transaction usable, as on the embedded engine.
    const bool guarded = m_inTransaction;
    if (guarded && !d->simple("SAVEPOINT md_statement")) {
        if (!d->good()) {
            m_transactionLost = true;
            lost(QString::fromUtf8(PQerrorMessage(d->conn)).trimmed());
        } else {
            r.rc = Error;
            r.error = QString::fromUtf8(PQerrorMessage(d->conn)).trimmed();
        }
        return r;
    }

    // The server's text of a statement, worked out only when it is sent as text or
    // prepared: not again for each run of a prepared one.
    std::vector<bool> compared;
    QString adapted;
    PGresult* res = nullptr;
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::vector<QByteArray> texts(size_t(params.size()));
        std::vector<const char*> values(size_t(params.size()), nullptr);
        std::vector<int> lengths(size_t(params.size()), 0), formats(size_t(params.size()), 0);
        const Prepared* prep = nullptr;
        if (!params.isEmpty()) {
            auto it = d->prepared.find(sql);
            if (it == d->prepared.end()) {
                if (d->prepared.size() >= 256) {
                    // The least recently used statement makes room.
                    auto oldest = d->prepared.begin();
                    for (auto j = d->prepared.begin(); j != d->prepared.end(); ++j)
                        if (j->used < oldest->used) oldest = j;
                    d->simple(("DEALLOCATE " + oldest->name).constData());
                    d->prepared.erase(oldest);
                }
                if (adapted.isEmpty()) adapted = AdaptSql(sql, &compared);
                Prepared p;
                p.name = "md_" + QByteArray::number(++d->statementCounter);
                const QByteArray text = adapted.toUtf8();
                PGresult* pr = PQprepare(d->conn, p.name.constData(), text.constData(), 0, nullptr);
                const bool ok = pr && PQresultStatus(pr) == PGRES_COMMAND_OK;
                if (!ok) {
                    res = pr;
                    break;
                }
                PQclear(pr);
                PGresult* desc = PQdescribePrepared(d->conn, p.name.constData());
                if (!desc || PQresultStatus(desc) != PGRES_COMMAND_OK) {
                    res = desc;
                    break;
                }
                for (int i = 0; i < PQnparams(desc); ++i) p.types.push_back(PQparamtype(desc, i));
                p.compared = compared;
                PQclear(desc);
                it = d->prepared.insert(sql, p);
            }
            it->used = ++d->useCounter;
            prep = &*it;
        }
        for (qsizetype i = 0; i < params.size(); ++i) {
            const QVariant& v = params[i];
            const Oid target = prep && size_t(i) < prep->types.size() ? prep->types[size_t(i)] : 0;
            if (!v.isValid() || v.isNull()) continue;
            QByteArray& t = texts[size_t(i)];
            switch (v.typeId()) {
            case QMetaType::Bool: t = v.toBool() ? "1" : "0"; break;
            case QMetaType::Double:
            case QMetaType::Float: t = QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest).toUtf8(); break;
            case QMetaType::QByteArray:
                if (target == kBytea) {
                    t = v.toByteArray();
                    formats[size_t(i)] = 1;
                } else {
                    t = v.toByteArray();
                }
                break;
            case QMetaType::QDate: t = v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8(); break;
            default: t = v.toString().toUtf8(); break;
            }
            if (isNumericType(target) && v.typeId() == QMetaType::QString) {
                const bool inCondition = size_t(i) < prep->compared.size() && prep->compared[size_t(i)];
                const std::optional<QByteArray> n = numberFor(v.toString(), target, inCondition);
                if (!n) continue; // stays NULL
                t = *n;
            } else if (isIntegerType(target) && (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)) {
                // A fraction compared with an integer column matches nothing; stored, it is rounded.
                const double d = v.toDouble();
                const bool inCondition = size_t(i) < prep->compared.size() && prep->compared[size_t(i)];
                if (d != std::floor(d) && inCondition) continue;
                t = QByteArray::number(qlonglong(std::round(d)));
            }
            values[size_t(i)] = t.constData();
            lengths[size_t(i)] = int(t.size());
        }
        bool sent;
        if (prep)
            sent = PQsendQueryPrepared(d->conn, prep->name.constData(), int(params.size()), values.data(),
                                       lengths.data(), formats.data(), 0);
        else {
            if (adapted.isEmpty()) adapted = AdaptSql(sql);
            const QByteArray text = adapted.toUtf8();
            sent = PQsendQueryParams(d->conn, text.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
        }
        res = sent ? awaitResult(d->conn, onWait) : nullptr;
        const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
        // A table changed under a prepared statement: prepare it again once.
        if (prep && state && std::strcmp(state, "0A000") == 0 && attempt == 0) {
            d->simple(("DEALLOCATE " + prep->name).constData());
            d->prepared.remove(sql);
            PQclear(res);
            res = nullptr;
            if (guarded) {
                d->simple("ROLLBACK TO SAVEPOINT md_statement");
            }
            continue;
        }
        break;
    }

    const ExecStatusType st = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
    if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK) {
        const char* status = PQcmdStatus(res);
        if (std::strncmp(status, "INSERT", 6) == 0 || std::strncmp(status, "UPDATE", 6) == 0 ||
            std::strncmp(status, "DELETE", 6) == 0)
            r.changes = std::atoi(PQcmdTuples(res));
        const int ncol = PQnfields(res);
        std::vector<Oid> colTypes;
        for (int c = 0; c < ncol; ++c) {
            r.columns << QString::fromUtf8(PQfname(res, c));
            colTypes.push_back(PQftype(res, c));
        }
        const int nrow = PQntuples(res);
        const int keep = maxRows < 0 ? nrow : qMin(nrow, maxRows);
        if (sink) {
            for (int row = 0; row < keep; ++row)
                (*sink)(ResultRow(res, row, colTypes, r.columns));
        } else {
            r.rows.reserve(keep);
        }
        for (int row = 0; !sink && row < keep; ++row) {
            QVector<QVariant> values(ncol);
            for (int c = 0; c < ncol; ++c) {
                // A value repeated down a column shares the previous row's string.
                if (row > 0 && colTypes[size_t(c)] != kBytea && !PQgetisnull(res, row, c) &&
                    !PQgetisnull(res, row - 1, c) && PQgetlength(res, row, c) == PQgetlength(res, row - 1, c) &&
                    std::memcmp(PQgetvalue(res, row, c), PQgetvalue(res, row - 1, c),
                                size_t(PQgetlength(res, row, c))) == 0) {
                    values[c] = r.rows[row - 1][c];
                    continue;
                }
                values[c] = cellValue(res, row, c, colTypes[size_t(c)]);
            }
            r.rows.append(std::move(values));
        }
        if (guarded) d->simple("RELEASE SAVEPOINT md_statement");
    } else if (!res || !d->good()) {
        if (m_inTransaction) m_transactionLost = true;
        lost(QString::fromUtf8(PQerrorMessage(d->conn)).trimmed());
    } else {
        r.sqlState = QString::fromLatin1(PQresultErrorField(res, PG_DIAG_SQLSTATE));
        r.rc = codeForState(r.sqlState, &r.prepareFailed);
        r.error = QString::fromUtf8(PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY));
        if (r.rc == CantOpen && m_inTransaction) m_transactionLost = true; // the server ended the session
        else if (guarded) d->simple("ROLLBACK TO SAVEPOINT md_statement");
    }
    PQclear(res);
    return r;
}

bool Connection::resetIdentities(QString* error) {
    const Result keys = exec(QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                                            "WHERE table_schema = current_schema() AND is_identity = 'YES'"),
                             {}, -1);
    if (keys.rc != Ok) {
        if (error) *error = keys.error;
        return false;
    }
    for (const auto& row : keys.rows) {
        const QString t = row.value(0).toString();
        const QString c = row.value(1).toString();
        const Result r = exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), "
                                             "COALESCE(MAX(%2), 0) + 1, false) FROM %1")
                                  .arg(t, c),
                              {}, 1);
        if (r.rc != Ok) {
            if (error) *error = r.error;
            return false;
        }
    }
    return true;
}

qlonglong Connection::lastIdentity() {
    if (!d->good() || m_transactionLost) return 0;
    const Result r = exec(QStringLiteral("SELECT lastval()"), {}, 1);
    if (r.rc != Ok || r.rows.isEmpty()) return 0;
    return r.rows[0].value(0).toLongLong();
}

namespace {
QString quoteName(const QString& name) {
    QString n = name;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

bool adminRun(const QString& adminLocation, const QString& sql, QString* error) {
    Connection c;
    int code = 0;
    if (!c.open(adminLocation, {}, false, error, &code)) return false;
    const Result r = c.exec(sql, {}, 0);
    if (r.rc != Ok && error) *error = r.error;
    return r.rc == Ok;
}
} // namespace

bool CreateDatabase(const QString& adminLocation, const QString& name, QString* error) {
    return adminRun(adminLocation,
                    QStringLiteral("CREATE DATABASE ") + quoteName(name) +
                        QStringLiteral(" TEMPLATE template0 ENCODING 'UTF8'"),
                    error);
}

bool DropDatabase(const QString& adminLocation, const QString& name, QString* error) {
    return adminRun(adminLocation, QStringLiteral("DROP DATABASE IF EXISTS ") + quoteName(name) +
                                       QStringLiteral(" WITH (FORCE)"),
                    error);
}

QString WithDatabase(const QString& location, const QString& name) {
    const QString t = location.trimmed();
    if (!t.startsWith(QLatin1String("postgres"))) {
        QString quoted = name;
        quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
        static const QRegularExpression db(QStringLiteral("\\bdbname\\s*=\\s*('(?:[^'\\\\]|\\\\.)*'|\\S+)"));
        QString out = t;
        out.remove(db);
        return out.simplified() + QStringLiteral(" dbname='") + quoted + u'\'';
    }
    // An address: replace the path part.
    const qsizetype scheme = t.indexOf(QLatin1String("://"));
    const qsizetype slash = t.indexOf(u'/', scheme + 3);
    const qsizetype query = t.indexOf(u'?', scheme + 3);
    const QString base = slash < 0 ? (query < 0 ? t : t.left(query)) : t.left(slash);
    const QString rest = query < 0 ? QString() : t.mid(query);
    return base + u'/' + QString::fromUtf8(QUrl::toPercentEncoding(name)) + rest;
}

QStringList FunctionStatements() {
    // Jet raises "Invalid procedure call" for a start below 1 or a negative length; the
    // functions count characters (the database is UTF-8), as on the embedded engine.
    const QString invalid = QStringLiteral("RAISE EXCEPTION 'Invalid procedure call or argument';");
    return {
        QStringLiteral("CREATE OR REPLACE FUNCTION mid(s text, start bigint, len bigint) RETURNS text "
                       "LANGUAGE plpgsql IMMUTABLE AS $$ BEGIN IF s IS NULL OR start IS NULL OR len IS NULL THEN "
                       "RETURN NULL; END IF; IF start < 1 OR len < 0 THEN ") +
            invalid + QStringLiteral(" END IF; RETURN substr(s, least(start, 2147483647)::int, least(len, 2147483647)::int); END $$"),
        QStringLiteral("CREATE OR REPLACE FUNCTION mid(s text, start bigint) RETURNS text "
                       "LANGUAGE plpgsql IMMUTABLE AS $$ BEGIN IF s IS NULL OR start IS NULL THEN "
                       "RETURN NULL; END IF; IF start < 1 THEN ") +
            invalid + QStringLiteral(" END IF; RETURN substr(s, least(start, 2147483647)::int); END $$"),
        QStringLiteral("CREATE OR REPLACE FUNCTION \"LEFT\"(s text, n bigint) RETURNS text "
                       "LANGUAGE plpgsql IMMUTABLE AS $$ BEGIN IF s IS NULL OR n IS NULL THEN RETURN NULL; "
                       "END IF; IF n < 0 THEN ") +
            invalid + QStringLiteral(" END IF; RETURN left(s, least(n, 2147483647)::int); END $$"),
        QStringLiteral("CREATE OR REPLACE FUNCTION \"RIGHT\"(s text, n bigint) RETURNS text "
                       "LANGUAGE plpgsql IMMUTABLE AS $$ BEGIN IF s IS NULL OR n IS NULL THEN RETURN NULL; "
                       "END IF; IF n < 0 THEN ") +
            invalid + QStringLiteral(" END IF; RETURN right(s, least(n, 2147483647)::int); END $$"),
        // Numbers are taken as their text, as the embedded engine does.
        QStringLiteral("CREATE OR REPLACE FUNCTION \"LEFT\"(s bigint, n bigint) RETURNS text LANGUAGE sql "
                       "IMMUTABLE AS 'SELECT \"LEFT\"(s::text, n)'"),
        QStringLiteral("CREATE OR REPLACE FUNCTION \"RIGHT\"(s bigint, n bigint) RETURNS text LANGUAGE sql "
                       "IMMUTABLE AS 'SELECT \"RIGHT\"(s::text, n)'"),
        QStringLiteral("CREATE OR REPLACE FUNCTION mid(s bigint, start bigint, len bigint) RETURNS text "
                       "LANGUAGE sql IMMUTABLE AS 'SELECT mid(s::text, start, len)'"),
        QStringLiteral("CREATE OR REPLACE FUNCTION len(s text) RETURNS bigint LANGUAGE sql IMMUTABLE "
                       "AS 'SELECT length(s)::bigint'"),
        QStringLiteral("CREATE OR REPLACE FUNCTION len(n bigint) RETURNS bigint LANGUAGE sql IMMUTABLE "
                       "AS 'SELECT length(n::text)::bigint'"),
        QStringLiteral("CREATE OR REPLACE FUNCTION ucase(s text) RETURNS text LANGUAGE sql IMMUTABLE "
                       "AS 'SELECT upper(s)'"),
        QStringLiteral("CREATE OR REPLACE FUNCTION isnumeric(s text) RETURNS integer LANGUAGE sql IMMUTABLE "
                       "AS $$SELECT CASE WHEN s IS NULL THEN 0 WHEN btrim(s, E' \\t\\n\\r\\f\\v') ~ "
                       "'^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$' THEN 1 ELSE 0 END$$"),
        QStringLiteral("CREATE OR REPLACE FUNCTION isnumeric(n double precision) RETURNS integer "
                       "LANGUAGE sql IMMUTABLE AS 'SELECT CASE WHEN n IS NULL THEN 0 ELSE 1 END'"),
    };
}

} // namespace pg
