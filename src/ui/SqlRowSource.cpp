#include "ui/SqlRowSource.h"

#include "db/Database.h"
#include "db/DbRow.h"

SqlRowSource::SqlRowSource(SqlPart select, QList<Key> keys, Formatter format)
    : m_select(std::move(select)), m_keys(std::move(keys)), m_format(std::move(format))
{
}

SqlRowSource::SqlRowSource(SqlPart select, QList<Key> keys, RowFormatter format)
    : m_select(std::move(select)), m_keys(std::move(keys)), m_formatRow(std::move(format))
{
}

SqlPart SqlRowSource::nextBlock(int count) const
{
    SqlPart part = m_select;
    if (!m_last.isEmpty()) {
        // After (v1, v2, ..., vn) in key order: k1 >= v1 AND (k1 > v1 OR (k2 >= v2 AND (...
        // (kn > vn)))). The leading bound lets the engine start at v1 in an index on k1
        // instead of filtering from the first row.
        SqlPart after;
        const int n = int(m_keys.size());
        for (int i = 0; i < n; ++i) {
            const Key& k = m_keys.at(i);
            const QString past = k.descending ? QStringLiteral(" < ?") : QStringLiteral(" > ?");
            if (i == n - 1) {
                after.sql += k.expr + past;
                after.params << m_last.at(i);
                break;
            }
            const QString from = k.descending ? QStringLiteral(" <= ?") : QStringLiteral(" >= ?");
            after.sql += k.expr + from + QStringLiteral(" AND (") + k.expr + past + QStringLiteral(" OR (");
            after.params << m_last.at(i) << m_last.at(i);
        }
        for (int i = 0; i < n - 1; ++i)
            after.sql += QStringLiteral("))");
        part.sql += QStringLiteral(" AND (");
        part += after;
        part.sql += QStringLiteral(")");
    }
    QStringList order;
    for (const Key& k : m_keys)
        order << (k.descending ? k.expr + QStringLiteral(" DESC") : k.expr);
    part.sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT ")
                + QString::number(count);
    return part;
}

bool SqlRowSource::fetch(int count, QVector<QStringList>& out)
{
    const SqlPart part = nextBlock(count);
    if (m_formatRow) {
        const qsizetype before = out.size();
        QVector<int> keyAt;
        QVariantList last;
        const int n = ReadRows(part.sql, part.params, [&](const DbRow& row) {
            if (keyAt.isEmpty())
                for (const Key& k : m_keys)
                    keyAt << row.columnIndex(k.field);
            last.clear();
            for (const int at : std::as_const(keyAt))
                last << row.value(at);
            m_formatRow(row, out);
        });
        if (n < 0) {
            out.resize(before); // a block cut short by a failure shows none of its rows
            m_end = true;
            return false;
        }
        m_end = n < count;
        if (n > 0)
            m_last = last;
        return true;
    }
    Recordset rs;
    const int n = OpenRecordset(rs, part.sql, part.params);
    if (n < 0) {
        m_end = true;
        return false;
    }
    m_end = n < count;
    if (n == 0)
        return true;
    const QVector<QVariant>& last = rs.row(n - 1);
    m_last.clear();
    for (const Key& k : m_keys)
        m_last << last.value(rs.fieldIndex(k.field));
    m_format(rs, out);
    return true;
}
