#include "members/FundStore.h"

#include "core/Clock.h"
#include "core/Prompt.h"
#include "db/Database.h"
#include "ui/CellChanges.h"

#include <QDate>

#include <algorithm>
#include <functional>

namespace {
// Expenses with their detail lines' count and total, in one grouped join.
const QString kExpenseJoin = QStringLiteral(" FROM tblgroupmon AS g LEFT JOIN"
                                            " (SELECT ctblgroupmon, COUNT(*) AS n, SUM(smoney) AS "
                                            "ssum FROM tblsubdata GROUP BY ctblgroupmon) AS s"
                                            " ON s.ctblgroupmon = g.code");

// Runs `insert` in a transaction while `parent` still exists; the new code, 0 on failure,
// -1 (said after the write lock is let go) when the parent is gone.
int insertChecked(const RowRef& parent, const std::function<int()>& insert) {
    QString gone;
    {
        Transaction tx;
        if (!tx.ok()) return 0;
        bool failed = false;
        gone = MissingRow({parent}, &failed);
        if (failed) return 0;
        if (gone.isEmpty()) {
            if (insert() <= 0) return 0;
            const int id = LastIdentity();
            return tx.commit() ? id : 0;
        }
    }
    MsgInfo(RowGoneMessage(gone));
    return -1;
}
} // namespace

namespace {
// The year a date or month text starts with, 0 when it does not start with one.
int leadingYear(const QVariant& value) {
    const QString text = value.toString().left(4);
    bool ok = false;
    const int y = text.toInt(&ok);
    return ok && text.size() == 4 && y >= 1900 && y <= 9999 ? y : 0;
}
} // namespace

QList<int> FundYears(int group) {
    const int thisYear = Clock::today().year();
    int first = thisYear, last = thisYear;
    // The first and last texts from the group's indexes; their years bound every other
    // one. Should either not start with a year, every text is read instead.
    Recordset ends;
    OpenRecordset(
        ends,
        QStringLiteral(
            "SELECT (SELECT MIN(sdate) FROM tblgroupmon WHERE ctblgroup = ? AND sdate >= '1900'),"
            " (SELECT MAX(sdate) FROM tblgroupmon WHERE ctblgroup = ?),"
            " (SELECT MIN(smonth) FROM tblgroupmon WHERE ctblgroup = ? AND smonth >= '1900'),"
            " (SELECT MAX(smonth) FROM tblgroupmon WHERE ctblgroup = ?)"),
        {group, group, group, group});
    bool bounded = ends.recordCount() == 1;
    for (int c = 0; bounded && c < 4; ++c) {
        const QVariant v = ends.row(0)[c];
        if (v.isNull()) continue; // no such text
        const int y = leadingYear(v);
        bounded = y > 0;
        first = qMin(first, y);
        last = qMax(last, y);
    }
    if (!bounded) {
        first = last = thisYear;
        Recordset rs;
        OpenRecordset(
            rs,
            QStringLiteral(
                "SELECT DISTINCT substr(sdate, 1, 4) FROM tblgroupmon WHERE ctblgroup = ?"
                " UNION SELECT DISTINCT substr(smonth, 1, 4) FROM tblgroupmon WHERE ctblgroup = ?"),
            {group, group});
        for (int r = 0; r < rs.recordCount(); ++r) {
            const int y = leadingYear(rs.row(r)[0]);
            if (y == 0) continue;
            first = qMin(first, y);
            last = qMax(last, y);
        }
    }
    QList<int> years;
    for (int y = first; y <= last; ++y)
        years << y;
    return years;
}

int ConvertLeftMemberPayments(int group, int year) {
    Recordset rs;
    const int n = OpenRecordset(
        rs,
        QStringLiteral("SELECT g.code, g.smonth, f.sname FROM tblgroupmon AS g LEFT JOIN tblfriend "
                       "AS f ON f.code = g.ctblfriend"
                       " WHERE g.ctblgroup = ? AND g.inoutclass = '0' AND g.smonth LIKE ?"
                       " AND (g.ctblfriend IS NULL OR g.ctblfriend NOT IN"
                       " (SELECT code FROM tblfriend WHERE ctblgroup = ?))"),
        {group, QString::number(year) + QLatin1Char('%'), group});
    if (n <= 0) return n < 0 ? -1 : 0;
    Transaction tx;
    for (int r = 0; r < n; ++r) {
        const int month = rs.row(r)[1].toString().mid(5, 2).toInt();
        const QString memo = rs.row(r)[2].toString() + QLatin1Char(' ') + QString::number(month) +
                             QStringLiteral("월분 납부 회비");
        if (ExecSQL(QStringLiteral("UPDATE tblgroupmon SET inoutclass = '1', ctblfriend = 1, smemo "
                                   "= ? WHERE code = ?"),
                    {memo, rs.row(r)[0].toInt()}) <= 0)
            return -1;
    }
    return tx.commit() ? n : -1;
}

QList<DuesPayment> DuesPayments(int group, int year) {
    QList<DuesPayment> out;
    Recordset rs;
    OpenRecordset(rs,
                  QStringLiteral("SELECT sdate, ctblfriend, smoney, smonth, code FROM tblgroupmon"
                                 " WHERE ctblgroup = ? AND inoutclass = '0' AND smonth LIKE ? "
                                 "ORDER BY ctblfriend, smonth"),
                  {group, QString::number(year) + QLatin1Char('%')});
    out.reserve(rs.recordCount());
    for (int r = 0; r < rs.recordCount(); ++r) {
        const auto& v = rs.row(r);
        out.append({v[4].toInt(), v[1].toInt(), v[2].toDouble(), v[0].toString(), v[3].toString()});
    }
    return out;
}

int InsertDuesPayment(int member, int group, double money, const QString& sdate,
                      const QString& smonth) {
    QString gone;
    {
        Transaction tx;
        if (!tx.ok()) return 0;
        bool failed = false;
        gone = MissingRow({{QStringLiteral("tblfriend"), member}, {QStringLiteral("tblgroup"), group}},
                          &failed);
        if (failed) return 0;
        // Another PC may have marked the same month since the sheet was loaded.
        if (gone.isEmpty() && CountRows(QStringLiteral("tblgroupmon"),
                      QStringLiteral("ctblfriend = ? AND ctblgroup = ? AND inoutclass = '0' AND "
                                     "smonth = ?"),
                      {member, group, smonth}) == 0) {
            if (ExecSQL(QStringLiteral("INSERT INTO tblgroupmon (ctblfriend, ctblgroup, smoney, "
                                       "inoutclass, sdate, smonth) VALUES (?, ?, ?, '0', ?, ?)"),
                        {member, group, money, sdate, smonth}) <= 0)
                return 0;
            const int id = LastIdentity();
            return tx.commit() ? id : 0;
        }
    } // the write lock is let go before saying so
    MsgInfo(gone.isEmpty() ? QStringLiteral("이 달의 회비 납부가 다른 곳에서 이미 입력되었습니다.") +
                                 u'\n' + QStringLiteral("목록을 다시 불러옵니다.")
                           : RowGoneMessage(gone));
    return -1;
}

QList<FundLine> FundLines(int group, const QString& kind, const QString& from, const QString& to) {
    QList<FundLine> out;
    Recordset rs;
    const bool expense = kind == QStringLiteral("2");
    const QString sql =
        expense ? QStringLiteral(
                      "SELECT g.sdate, g.ctblaffairsnote, g.smoney, g.smemo, g.code, s.n, s.ssum") +
                      kExpenseJoin
                : QStringLiteral("SELECT g.sdate, g.ctblaffairsnote, g.smoney, g.smemo, g.code, 0, "
                                 "0 FROM tblgroupmon AS g");
    OpenRecordset(
        rs,
        sql +
            QStringLiteral(" WHERE g.inoutclass = ? AND g.ctblgroup = ? AND g.sdate BETWEEN ? AND ?"
                           " ORDER BY g.sdate, g.code"),
        {kind, group, from, to});
    out.reserve(rs.recordCount());
    for (int r = 0; r < rs.recordCount(); ++r) {
        const auto& v = rs.row(r);
        FundLine l{v[4].toInt(),    v[0].toString(), v[1].toString(),
                   v[2].toDouble(), v[3].toString(), v[5].toInt()};
        if (l.lineCount > 0) l.money = v[6].toDouble();
        out.append(l);
    }
    return out;
}

QList<FundLine> DetailLines(int expense) {
    QList<FundLine> out;
    Recordset rs;
    OpenRecordset(rs,
                  QStringLiteral("SELECT bigo, smoney, smemo, code FROM tblsubdata WHERE "
                                 "ctblgroupmon = ? ORDER BY code"),
                  {expense});
    for (int r = 0; r < rs.recordCount(); ++r) {
        const auto& v = rs.row(r);
        out.append({v[3].toInt(), QString(), v[0].toString(), v[1].toDouble(), v[2].toString(), 0});
    }
    return out;
}

int InsertFundLine(int group, const QString& kind, const FundLine& l) {
    return insertChecked({QStringLiteral("tblgroup"), group}, [&] {
        return ExecSQL(QStringLiteral("INSERT INTO tblgroupmon (ctblgroup, sdate, ctblaffairsnote, "
                                      "smoney, smemo, inoutclass) VALUES (?, ?, ?, ?, ?, ?)"),
                       {group, l.sdate, l.item, l.money, l.memo, kind});
    });
}

int InsertDetailLine(int expense, const FundLine& l) {
    return insertChecked({QStringLiteral("tblgroupmon"), expense}, [&] {
        return ExecSQL(QStringLiteral("INSERT INTO tblsubdata (ctblgroupmon, bigo, smoney, smemo) "
                                      "VALUES (?, ?, ?, ?)"),
                       {expense, l.item, l.money, l.memo});
    });
}

bool DeleteFundRecord(int code) {
    Transaction tx;
    ExecSQL(QStringLiteral("DELETE FROM tblsubdata WHERE ctblgroupmon = ?"), {code});
    if (ExecSQL(QStringLiteral("DELETE FROM tblgroupmon WHERE code = ?"), {code}) <= 0)
        return false;
    return tx.commit();
}

bool DeleteDetailLine(int code) {
    return ExecSQL(QStringLiteral("DELETE FROM tblsubdata WHERE code = ?"), {code}) > 0;
}

FundTotals GroupFundTotals(int group) {
    FundTotals t;
    Recordset rs;
    OpenRecordset(rs,
                  QStringLiteral("SELECT inoutclass, SUM(smoney) AS ssum FROM tblgroupmon WHERE "
                                 "ctblgroup = ? GROUP BY inoutclass"),
                  {group});
    for (int r = 0; r < rs.recordCount(); ++r) {
        const QString kind = rs.row(r)[0].toString();
        if (kind == QStringLiteral("0"))
            t.dues = rs.row(r)[1].toDouble();
        else if (kind == QStringLiteral("1"))
            t.income = rs.row(r)[1].toDouble();
    }
    t.expense =
        GetScalar(QStringLiteral("SELECT SUM(CASE WHEN s.n > 0 THEN s.ssum ELSE g.smoney END)") +
                      kExpenseJoin +
                      QStringLiteral(" WHERE g.ctblgroup = ? AND g.inoutclass = '2'"),
                  {group})
            .toDouble();
    t.detail = GetScalar(QStringLiteral(
                             "SELECT SUM(s.smoney) AS ssum FROM tblgroupmon AS g, tblsubdata AS s"
                             " WHERE g.code = s.ctblgroupmon AND g.ctblgroup = ?"),
                         {group})
                   .toDouble();
    return t;
}
