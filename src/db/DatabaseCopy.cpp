#include "db/Database.h"

#include "core/Log.h"
#include "db/FileDatabase.h"
#include "db/PgEngine.h"
#include "db/Schema.h"

#include <QFile>
#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <memory>

namespace {

// Rows per INSERT: few statements, well below both engines' limit of bound values.
constexpr int kRowsPerInsert = 50;
constexpr int kRowsPerRead = 5000;

// Read access to the source database, a file or a server.
class Source {
public:
    bool open(const QString& location, QString* error) {
        if (pg::IsServerLocation(location)) {
            m_server = std::make_unique<pg::Connection>();
            int code = 0;
            // Every table and the closing comparison read one moment of the database, so
            // other PCs may go on working during the copy.
            return m_server->open(location, {}, true, error, &code) && m_server->beginSnapshot(error);
        }
        if (!QFile::exists(location)) {
            if (error) *error = QStringLiteral("파일이 없습니다: ") + location;
            return false;
        }
        return m_file.open(location, error);
    }
    bool select(const QString& sql, const QVariantList& params, QVector<QVector<QVariant>>& rows, QString* error) {
        if (m_server) {
            pg::Result r = m_server->exec(sql, params, -1);
            if (r.rc != pg::Ok) {
                if (error) *error = r.error;
                return false;
            }
            rows = std::move(r.rows);
            return true;
        }
        return m_file.select(sql, params, rows, error);
    }
    QStringList columns(const QString& table) {
        QVector<QVector<QVariant>> rows;
        QStringList out;
        const QString sql =
            m_server ? QStringLiteral("SELECT column_name FROM information_schema.columns WHERE "
                                      "table_schema = current_schema() AND table_name = ? ORDER BY ordinal_position")
                     : QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid");
        if (select(sql, {table}, rows, nullptr))
            for (const auto& r : rows) out << r.value(0).toString().toLower();
        return out;
    }

private:
    FileConnection m_file;
    std::unique_ptr<pg::Connection> m_server;
};

struct TableInfo {
    QString name;
    QString key; // integer key column, "" when the table has none
    QStringList money;
};

// The schema's tables with their key and money columns, read from its statements.
QVector<TableInfo> schemaTables() {
    static const QRegularExpression head(QStringLiteral("^CREATE TABLE (\\w+) \\((.*)\\)$"));
    static const QRegularExpression money(QStringLiteral("(\\w+) REAL\\b"));
    static const QRegularExpression key(QStringLiteral("^\\(?\\s*(\\w+) INTEGER (CONSTRAINT \\w+ )?PRIMARY KEY"));
    QVector<TableInfo> out;
    for (const QString& sql : Schema::tableStatements()) {
        const auto m = head.match(sql);
        if (!m.hasMatch()) continue;
        TableInfo t;
        t.name = m.captured(1).toLower();
        const QString body = m.captured(2);
        if (const auto k = key.match(body); k.hasMatch()) t.key = k.captured(1);
        for (auto it = money.globalMatch(body); it.hasNext();) t.money << it.next().captured(1);
        out << t;
    }
    return out;
}

double toDouble(const QVariant& v) { return v.isValid() ? v.toDouble() : 0.0; }

// Count and money sums of one table, read the same way on both sides.
QString summarySql(const TableInfo& t) {
    QString sql = QStringLiteral("SELECT COUNT(*)");
    for (const QString& m : t.money) sql += QStringLiteral(", SUM(") + m + u')';
    return sql + QStringLiteral(" FROM ") + t.name;
}

bool sameSummary(const QVector<QVariant>& a, const QVector<QVariant>& b) {
    if (a.size() != b.size() || a.isEmpty()) return false;
    if (a[0].toLongLong() != b[0].toLongLong()) return false;
    for (qsizetype i = 1; i < a.size(); ++i)
        if (std::fabs(toDouble(a[i]) - toDouble(b[i])) > 0.005) return false;
    return true;
}

} // namespace

bool CopyDatabase(const QString& from, const QString& to, QStringList* report, QString* error,
                  const std::function<void(int done, int total)>& tables) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        DBTerminate();
        return false;
    };
    Source source;
    QString why;
    if (!source.open(from, &why)) return fail(QStringLiteral("원본 데이터베이스를 열 수 없습니다.\n") + why);
    if (source.columns(QStringLiteral("tblfriend")).isEmpty() || source.columns(QStringLiteral("options")).isEmpty())
        return fail(QStringLiteral("원본이 MemberDesk의 데이터베이스가 아닙니다."));

    // The target is made here: a file that does not exist yet, or an empty server database.
    if (!pg::IsServerLocation(to) && QFile::exists(to))
        return fail(QStringLiteral("대상 데이터베이스가 비어 있지 않습니다. 기존 자료를 덮어쓰지 않습니다.\n") + to);
    if (!CreateNewDatabase(to, &why)) {
        const QString shown = why.contains(QLatin1String("not empty"))
                                  ? QStringLiteral("대상 데이터베이스가 비어 있지 않습니다. 기존 자료를 덮어쓰지 않습니다.")
                                  : QStringLiteral("대상 데이터베이스를 만들 수 없습니다.");
        return fail(shown + u'\n' + why);
    }
    if (!OpenDatabase(to)) return fail(QStringLiteral("대상 데이터베이스를 열 수 없습니다.\n") + LastDbError());

    // The ledger's totals by date and section are made once from the copied entries,
    // not entry by entry by their triggers.
    const QStringList ledgerTotals = Schema::ledgerTotalsStatements(ServerDatabase());
    for (const QString& sql : ledgerTotals)
        if (sql.startsWith(QLatin1String("DROP TRIGGER")) && !RunSilent(sql).ok)
            return fail(LastDbError());

    const QVector<TableInfo> all = schemaTables();
    int done = 0;
    for (const TableInfo& t : all) {
        if (tables) tables(done++, int(all.size()));
        const QStringList sourceCols = source.columns(t.name);
        if (sourceCols.isEmpty()) {
            if (report) *report << t.name + QStringLiteral(": 원본에 없음");
            continue;
        }
        QStringList cols;
        for (const QString& c : TableColumns(t.name))
            if (sourceCols.contains(c.toLower())) cols << c.toLower();
        Transaction tx;
        if (!tx.ok()) return fail(t.name + QStringLiteral(": ") + LastDbError());
        // The fixed rows of the new database are replaced by the source's own.
        if (!RunSilent(QStringLiteral("DELETE FROM ") + t.name).ok)
            return fail(t.name + QStringLiteral(": ") + LastDbError());
        const QString select = QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) +
                               QStringLiteral(" FROM ") + t.name;
        const QString rowMarks = u'(' + QStringList(cols.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + u')';
        const QString insertHead = QStringLiteral("INSERT INTO ") + t.name + QStringLiteral(" (") +
                                   cols.join(QStringLiteral(", ")) + QStringLiteral(") VALUES ");
        qlonglong after = std::numeric_limits<qlonglong>::min();
        for (;;) {
            QVector<QVector<QVariant>> rows;
            const bool paged = !t.key.isEmpty() && cols.contains(t.key);
            const bool read = paged ? source.select(select + QStringLiteral(" WHERE ") + t.key + QStringLiteral(" > ? ORDER BY ") +
                                                        t.key + QStringLiteral(" LIMIT ") + QString::number(kRowsPerRead),
                                                    {after}, rows, &why)
                                    : source.select(select, {}, rows, &why);
            if (!read) return fail(t.name + QStringLiteral(": ") + why);
            for (qsizetype start = 0; start < rows.size(); start += kRowsPerInsert) {
                const qsizetype end = qMin<qsizetype>(rows.size(), start + kRowsPerInsert);
                QStringList marks;
                QVariantList params;
                for (qsizetype i = start; i < end; ++i) {
                    marks << rowMarks;
                    for (const QVariant& v : rows[i]) params << v;
                }
                const SqlOutcome o = RunSilent(insertHead + marks.join(QStringLiteral(", ")), params);
                if (!o.ok) return fail(t.name + QStringLiteral(": ") + o.error);
            }
            if (!paged || rows.size() < kRowsPerRead) break;
            after = rows.last().value(cols.indexOf(t.key)).toLongLong();
        }
        if (!tx.commit()) return fail(t.name + QStringLiteral(": ") + LastDbError());
    }
    {
        Transaction tx;
        for (const QString& sql : ledgerTotals)
            if (const SqlOutcome o = RunSilent(sql); !o.ok) return fail(QStringLiteral("tbljangbusum: ") + o.error);
        if (!tx.commit()) return fail(QStringLiteral("tbljangbusum: ") + LastDbError());
    }
    if (!ResetKeyCounters(&why)) return fail(why);

    // Both sides are counted and summed again after the copy.
    bool equal = true;
    for (const TableInfo& t : schemaTables()) {
        if (source.columns(t.name).isEmpty()) continue;
        QVector<QVector<QVariant>> a;
        if (!source.select(summarySql(t), {}, a, &why)) return fail(t.name + QStringLiteral(": ") + why);
        Recordset rs;
        QVector<QVariant> b;
        if (OpenRecordset(rs, summarySql(t)) < 0) return fail(t.name + QStringLiteral(": ") + LastDbError());
        rs.moveFirst();
        for (int i = 0; i < rs.fieldCount(); ++i) b << rs.value(i);
        const bool same = !a.isEmpty() && sameSummary(a[0], b);
        equal = equal && same;
        if (report) {
            QString line = t.name + QStringLiteral(": ") + b.value(0).toString() + QStringLiteral("행");
            for (qsizetype i = 1; i < b.size(); ++i)
                line += u' ' + t.money[i - 1] + u'=' + QString::number(toDouble(b[i]), 'f', 2);
            *report << line + (same ? QString() : QStringLiteral(" (원본과 다름)"));
        }
    }
    DBTerminate();
    if (!equal) {
        if (error) *error = QStringLiteral("복사한 자료의 건수나 금액 합계가 원본과 다릅니다.");
        return false;
    }
    if (error) error->clear();
    return true;
}
