#pragma once

#include "db/SqlPart.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class DbRow;

// Trades as the trade windows show them, read with one statement per list.
struct TradeRow {
    int code = 0;
    int friendCode = 1;
    QString friendName; // "" for the reserved member 1
    QString date;
    double cash = 0, card = 0, account = 0, points = 0, discount = 0;
    int cardCode = 1;
    double stackPoint = 0;
    QString inTime, outTime, endOx, memo;
    int lineCount = 0;
    double total = 0; // sum of the lines' amounts
    double received() const { return cash + card + account + points + discount; }
    double outstanding() const { return total - received(); }
};

// Trades of a period (member 0) or of one member (all dates), by date and code.
QVector<TradeRow> LoadTrades(const QString& from, const QString& to, int member = 0);
// One member's trades as LoadTrades reads them, handed to `onTrade` one at a time as they
// are read (the row is reused for the next one). The count, or -1 after the error was shown.
int ReadMemberTrades(int member, const std::function<void(const TradeRow&)>& onTrade);
// The trades of a period as LoadTrades reads them, up to its condition (no order), for
// reading in blocks ordered by t.sdate, t.code; a TradeRowReader reads each row.
SqlPart TradePeriodSelect(const QString& from, const QString& to);

// Reads rows of the statements above into one TradeRow kept from row to row: its texts
// keep their buffers, the columns are looked up on the first row.
class TradeRowReader {
public:
    const TradeRow& read(const DbRow& row);

private:
    TradeRow m_row;
    int m_at[17] = {};
    bool m_found = false;
};
// Sums of a period's trades: the lines' amounts, what was received, points earned.
struct TradeSums {
    double total = 0, received = 0, points = 0;
};
TradeSums LoadTradePeriodSums(const QString& from, const QString& to);
// One trade; code 0 when absent.
TradeRow LoadTrade(int code);

// One line of a trade.
struct TradeLineRow {
    int code = 0;
    int tradeCode = 0;
    int serviceCode = 1;
    QString name;
    double quantity = 0, price = 0, amount = 0;
    QString memo;
};
QVector<TradeLineRow> LoadTradeLines(int tradeCode);

// Card company name, "" for none (code 1) or an unknown code.
QString CardName(int cardCode);

// Inserts a trade (card company 1); the new code, 0 on failure.
int InsertTrade(const QString& date, int member, const QString& inTime, const QString& memo);

// The statement of the member trade view: one row per line of member ? (bound twice),
// trades without lines included, with each trade's total.
QString MemberTradeLinesSql();
// The statement of the card deposit check: card payments between two dates (bound).
QString CardCheckSql(bool onlyUnconfirmed);
