#include "sales/TradeStore.h"

#include "db/Database.h"
#include "db/DbRow.h"

namespace {
const QString kTradeSelect = QStringLiteral(
    "SELECT t.code, t.sdate, t.ctblfriend, t.dmoney, t.dcard, t.ctblcard, t.daccount, t.lpoint, t.lstackpoint, "
    "t.ddc, t.sintime, t.souttime, t.lendox, t.smemo, f.sname AS fname, s.cnt, s.tot "
    "FROM tbltrade AS t LEFT JOIN tblfriend AS f ON f.code = t.ctblfriend AND f.code <> 1 "
    "LEFT JOIN (SELECT ctbltrade, COUNT(code) AS cnt, SUM(dsum) AS tot FROM tbltradesub WHERE ctbltrade IN "
    "(SELECT code FROM tbltrade AS x WHERE %1) GROUP BY ctbltrade) AS s ON s.ctbltrade = t.code WHERE %2 "
    "ORDER BY t.sdate, t.code");

} // namespace

const TradeRow& TradeRowReader::read(const DbRow& row)
{
    enum { Code, Date, Friend, Name, Cash, Card, CardCode, Account, Points, Stack, Dc, In, Out, End, Memo, Count,
           Total, ColCount };
    static_assert(ColCount == std::size(decltype(m_at){}));
    if (!m_found) {
        static const char* const names[ColCount] = {"code", "sdate", "ctblfriend", "fname", "dmoney",
                                                    "dcard", "ctblcard", "daccount", "lpoint", "lstackpoint",
                                                    "ddc", "sintime", "souttime", "lendox", "smemo", "cnt", "tot"};
        for (int i = 0; i < ColCount; ++i)
            m_at[i] = row.columnIndex(QString::fromLatin1(names[i]));
        m_found = true;
    }
    TradeRow& t = m_row;
    t.code = int(row.integer(m_at[Code]));
    row.text(m_at[Date], t.date);
    t.friendCode = int(row.integer(m_at[Friend]));
    row.text(m_at[Name], t.friendName);
    t.cash = row.number(m_at[Cash]);
    t.card = row.number(m_at[Card]);
    t.cardCode = int(row.integer(m_at[CardCode]));
    t.account = row.number(m_at[Account]);
    t.points = row.number(m_at[Points]);
    t.stackPoint = row.number(m_at[Stack]);
    t.discount = row.number(m_at[Dc]);
    row.text(m_at[In], t.inTime);
    row.text(m_at[Out], t.outTime);
    row.text(m_at[End], t.endOx);
    row.text(m_at[Memo], t.memo);
    t.lineCount = int(row.integer(m_at[Count]));
    t.total = row.number(m_at[Total]);
    return t;
}

namespace {
TradeRow readTrade(const Recordset& rs)
{
    TradeRow t;
    t.code = rs.integer(QStringLiteral("code"));
    t.date = rs.text(QStringLiteral("sdate"));
    t.friendCode = rs.integer(QStringLiteral("ctblfriend"));
    t.friendName = rs.text(QStringLiteral("fname"));
    t.cash = rs.number(QStringLiteral("dmoney"));
    t.card = rs.number(QStringLiteral("dcard"));
    t.cardCode = rs.integer(QStringLiteral("ctblcard"));
    t.account = rs.number(QStringLiteral("daccount"));
    t.points = rs.number(QStringLiteral("lpoint"));
    t.stackPoint = rs.number(QStringLiteral("lstackpoint"));
    t.discount = rs.number(QStringLiteral("ddc"));
    t.inTime = rs.text(QStringLiteral("sintime"));
    t.outTime = rs.text(QStringLiteral("souttime"));
    t.endOx = rs.text(QStringLiteral("lendox"));
    t.memo = rs.text(QStringLiteral("smemo"));
    t.lineCount = rs.integer(QStringLiteral("cnt"));
    t.total = rs.number(QStringLiteral("tot"));
    return t;
}

QVector<TradeRow> query(const QString& inner, const QString& outer, const QVariantList& params)
{
    QVector<TradeRow> out;
    Recordset rs;
    if (OpenRecordset(rs, kTradeSelect.arg(inner, outer), params + params) <= 0)
        return out;
    out.reserve(rs.recordCount());
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out.append(readTrade(rs));
    return out;
}
} // namespace

QVector<TradeRow> LoadTrades(const QString& from, const QString& to, int member)
{
    if (member > 0)
        return query(QStringLiteral("x.ctblfriend = ?"), QStringLiteral("t.ctblfriend = ?"), {member});
    return query(QStringLiteral("x.sdate BETWEEN ? AND ?"), QStringLiteral("t.sdate BETWEEN ? AND ?"), {from, to});
}

int ReadMemberTrades(int member, const std::function<void(const TradeRow&)>& onTrade)
{
    TradeRowReader reader;
    return ReadRows(kTradeSelect.arg(QStringLiteral("x.ctblfriend = ?"), QStringLiteral("t.ctblfriend = ?")),
                    {member, member}, [&](const DbRow& row) { onTrade(reader.read(row)); });
}

SqlPart TradePeriodSelect(const QString& from, const QString& to)
{
    // Each trade's line count and sum come from the (ctbltrade, dsum) index, row by row: a
    // block of the list costs its own rows, not the whole period's lines.
    return {QStringLiteral(
                "SELECT t.code, t.sdate, t.ctblfriend, t.dmoney, t.dcard, t.ctblcard, t.daccount, t.lpoint, "
                "t.lstackpoint, t.ddc, t.sintime, t.souttime, t.lendox, t.smemo, f.sname AS fname, "
                "(SELECT COUNT(*) FROM tbltradesub AS c WHERE c.ctbltrade = t.code) AS cnt, "
                "(SELECT SUM(c.dsum) FROM tbltradesub AS c WHERE c.ctbltrade = t.code) AS tot "
                "FROM tbltrade AS t LEFT JOIN tblfriend AS f ON f.code = t.ctblfriend AND f.code <> 1 "
                "WHERE t.sdate BETWEEN ? AND ?"),
            {from, to}};
}

TradeSums LoadTradePeriodSums(const QString& from, const QString& to)
{
    TradeSums sums;
    Recordset rs;
    if (OpenRecordset(rs,
                      QStringLiteral("SELECT SUM(t.dmoney + t.dcard + t.daccount + t.lpoint + t.ddc) AS received, "
                                     "SUM(t.lstackpoint) AS points FROM tbltrade AS t WHERE t.sdate BETWEEN ? AND ?"),
                      {from, to})
        > 0) {
        sums.received = rs.number(QStringLiteral("received"));
        sums.points = rs.number(QStringLiteral("points"));
    }
    sums.total = GetScalar(QStringLiteral("SELECT SUM(s.dsum) FROM tbltrade AS t JOIN tbltradesub AS s "
                                          "ON s.ctbltrade = t.code WHERE t.sdate BETWEEN ? AND ?"),
                           {from, to})
                     .toDouble();
    return sums;
}

TradeRow LoadTrade(int code)
{
    const QVector<TradeRow> rows = query(QStringLiteral("x.code = ?"), QStringLiteral("t.code = ?"), {code});
    return rows.isEmpty() ? TradeRow{} : rows.first();
}

QVector<TradeLineRow> LoadTradeLines(int tradeCode)
{
    QVector<TradeLineRow> out;
    Recordset rs;
    if (OpenRecordset(rs,
                      QStringLiteral("SELECT code, ctblservice, servicename, lnumber, dmoney, dsum, smemo FROM "
                                     "tbltradesub WHERE ctbltrade = ? ORDER BY code"),
                      {tradeCode}) <= 0)
        return out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        TradeLineRow l;
        l.code = rs.integer(QStringLiteral("code"));
        l.tradeCode = tradeCode;
        l.serviceCode = rs.integer(QStringLiteral("ctblservice"));
        l.name = rs.text(QStringLiteral("servicename"));
        l.quantity = rs.number(QStringLiteral("lnumber"));
        l.price = rs.number(QStringLiteral("dmoney"));
        l.amount = rs.number(QStringLiteral("dsum"));
        l.memo = rs.text(QStringLiteral("smemo"));
        out.append(l);
    }
    return out;
}

QString CardName(int cardCode)
{
    if (cardCode <= 1) // no card (1 is the fixed row "none"): nothing to ask the database
        return {};
    return GetScalar(QStringLiteral("SELECT sname FROM tblcard WHERE code <> 1 AND code = ?"), {cardCode}).toString();
}

int InsertTrade(const QString& date, int member, const QString& inTime, const QString& memo)
{
    if (ExecSQL(QStringLiteral("INSERT INTO tbltrade (sdate, ctblfriend, sintime, ctblcard, smemo) VALUES (?, ?, ?, 1, ?)"),
                {date, member, inTime, memo})
        <= 0)
        return 0;
    return LastIdentity();
}

QString MemberTradeLinesSql()
{
    return QStringLiteral(
        "SELECT t.code, t.sdate, t.dmoney, t.dcard, t.daccount, t.lpoint, t.ddc, t.lstackpoint, "
        "t.sintime, t.souttime, t.lendox, t.smemo, s.code AS lcode, s.servicename, s.lnumber, "
        "s.dmoney AS lprice, s.dsum, s.ctblservice, tt.tot FROM tbltrade AS t "
        "LEFT JOIN tbltradesub AS s ON s.ctbltrade = t.code "
        "LEFT JOIN (SELECT ctbltrade, SUM(dsum) AS tot FROM tbltradesub WHERE ctbltrade IN "
        "(SELECT code FROM tbltrade WHERE ctblfriend = ?) GROUP BY ctbltrade) AS tt "
        "ON tt.ctbltrade = t.code WHERE t.ctblfriend = ? ORDER BY t.sdate, t.code, s.code");
}

QString CardCheckSql(bool onlyUnconfirmed)
{
    QString sql = QStringLiteral(
        "SELECT t.code, t.sdate, t.ctblfriend, t.dcard, t.ctblcard, t.smemo, c.sname, c.dfee, t.cardchk, "
        "f.sname AS fname FROM tbltrade AS t INNER JOIN tblcard AS c ON t.ctblcard = c.code "
        "LEFT JOIN tblfriend AS f ON f.code = t.ctblfriend AND f.code <> 1 WHERE t.dcard <> 0");
    if (onlyUnconfirmed)
        sql += QStringLiteral(" AND t.cardchk = ''");
    return sql + QStringLiteral(" AND t.sdate BETWEEN ? AND ? ORDER BY t.sdate, t.code");
}
