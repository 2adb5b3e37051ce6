#include "db/Database.h"
#include "db/DbConnection.h"
#include "core/Log.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Settings.h"
#include "db/DatabaseStats.h"
#include "db/DbRow.h"
#include "db/PgEngine.h"
#include "db/SqlFunctions.h"
#include "core/Prompt.h"

#include <QFile>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <sqlite3.h>

using namespace dbcore;

// ---- shared operations ----

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

qint64 FriendPointBalance(int friendCode, int exceptTrade) {
    QString sql = QStringLiteral("SELECT SUM(lstackpoint) AS sum1, SUM(lpoint) AS sum2 FROM tbltrade "
                                 "WHERE ctblfriend = ?");
    QVariantList params{friendCode};
    if (exceptTrade != -1) {
        sql += QStringLiteral(" AND code <> ?");
        params << exceptTrade;
    }
    const StatementResult r = runStatement(sql, params, 1);
    if (r.rc != SQLITE_OK || r.rows.isEmpty()) return 0;
    return qRound64(toNumber(r.rows[0].value(0)) - toNumber(r.rows[0].value(1)));
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

std::optional<QVariantHash> ReadRecord(const QString& table, int code, const QStringList& columns,
                                       const QString& keyColumn, bool lockForWrite) {
    if (columns.isEmpty()) return QVariantHash{};
    QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                  QStringLiteral(" FROM ") + table + QStringLiteral(" WHERE ") + keyColumn +
                  QStringLiteral(" = ?");
    if (lockForWrite && conn().server) sql += QStringLiteral(" FOR UPDATE");
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

int UpdateRecord(const QString& table, int code, const QVariantHash& values, const QString& keyColumn,
                 const QString& condition, const QVariantList& conditionParams) {
    if (values.isEmpty()) return 0;
    QStringList sets;
    QVariantList params;
    QStringList columns = values.keys();
    columns.sort();
    for (const QString& c : columns) {
        sets << c + QStringLiteral(" = ?");
        params << values.value(c);
    }
    params << code << conditionParams;
    return ExecSQL(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                       sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + keyColumn +
                       QStringLiteral(" = ?") +
                       (condition.isEmpty() ? QString() : QStringLiteral(" AND ") + condition),
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
