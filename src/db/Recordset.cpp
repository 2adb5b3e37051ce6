// The cursor API: rows of a read held in a Recordset, and the reads that fill one.
#include "core/Log.h"
#include "db/Database.h"
#include "db/DbConnection.h"

#include "core/Prompt.h"

#include <sqlite3.h>

using namespace dbcore;

int Recordset::fieldIndex(const QString& name) const { return columnIndexIn(m_columns, name); }

QVariant Recordset::value(int col) const {
    if (m_pos < 0 || m_pos >= m_rows.size()) return {};
    const auto& r = m_rows[m_pos];
    if (col < 0 || col >= r.size()) return {};
    return r[col];
}

QVariant Recordset::value(const QString& name) const { return value(fieldIndex(name)); }

QString Recordset::text(int col) const { return textOf(value(col)); }

QString Recordset::text(const QString& name) const { return text(fieldIndex(name)); }

double Recordset::number(const QString& name) const { return toNumber(value(name)); }

double Recordset::number(int col) const {
    // Read in place: a list reads several numbers of every row.
    if (m_pos < 0 || m_pos >= m_rows.size()) return 0.0;
    const auto& r = m_rows[m_pos];
    return col >= 0 && col < r.size() ? toNumber(r[col]) : 0.0;
}

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

