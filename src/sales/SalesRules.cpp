#include "sales/SalesRules.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "ui/TextRules.h"

#include <cmath>

double SalesNumber(const QString& text)
{
    return NumericValue(text.trimmed());
}

bool AmountFits(double value)
{
    return std::isfinite(value) && std::fabs(value) <= kMaxAmount;
}

bool CountFits(double value)
{
    return std::isfinite(value) && std::fabs(value) <= kMaxCount;
}

void ShowNumberTooLarge()
{
    MsgInfo(QStringLiteral("입력하신 숫자가 너무 큽니다."));
}

QString MoneyText(double value)
{
    return FormatNumber(value, 0);
}

QString PlainNumber(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'f', 2);
}

double ProposedCash(double owed, const PaymentSplit& split)
{
    const double cash = owed - split.card - split.account - split.points - split.discount;
    return cash > 0 ? cash : 0;
}

double CashAfterComponent(double cash, double before, double component)
{
    if (cash <= 0)
        return 0;
    const double left = before - component;
    return left > 0 ? left : 0;
}

double CardFee(double amount, double feeRate)
{
    return amount * feeRate / 100.0;
}

double CardDeposit(double amount, double feeRate)
{
    return amount * (100.0 - feeRate) / 100.0;
}

int DeleteTradeWithLines(int tradeCode)
{
    Transaction tx;
    ExecSQL(QStringLiteral("DELETE FROM tbltradesub WHERE ctbltrade = ?"), {tradeCode});
    const int rows = ExecSQL(QStringLiteral("DELETE FROM tbltrade WHERE code = ?"), {tradeCode});
    if (rows <= 0 || !tx.commit())
        return 0;
    return rows;
}

bool TakesCatalogPrice(int previousService, int chosen, double price)
{
    if (chosen <= 1)
        return false;
    if (price == 0)
        return true;
    return previousService > 1 && previousService != chosen && price == CatalogPrice(previousService);
}

void ApplyPickedService(int previousService, int chosen, double* quantity, double* price)
{
    if (*quantity == 0)
        *quantity = 1;
    if (TakesCatalogPrice(previousService, chosen, *price))
        *price = CatalogPrice(chosen);
}

bool WholeQuantity(double value)
{
    return value == std::floor(value);
}

void ShowWholeQuantity()
{
    MsgInfo(QStringLiteral("수량은 정수로 입력하세요."));
}

bool MemberPointsFit(int member, int trade, double points)
{
    if (!CountFits(points))
        return false;
    const double spent = GetScalar(QStringLiteral("SELECT lpoint FROM tbltrade WHERE code = ?"), {trade}).toDouble();
    return CountFits(double(FriendPointBalance(member, trade)) + points - spent);
}

qint64 ProposedPoints(int trade)
{
    if (GetOption(QStringLiteral("pointindex"), QStringLiteral("0")).trimmed() == QStringLiteral("1"))
        return qint64(GetScalar(QStringLiteral("SELECT SUM(s.lnumber * v.spoint) FROM tbltradesub AS s, tblservice AS v "
                                               "WHERE v.code = s.ctblservice AND s.ctbltrade = ?"),
                                {trade})
                          .toDouble());
    const double percent = qBound(0.0, SalesNumber(GetOption(QStringLiteral("point"), QStringLiteral("10"))), 100.0);
    const double received =
        GetScalar(QStringLiteral("SELECT dmoney + dcard + daccount + lpoint + ddc FROM tbltrade WHERE code = ?"), {trade})
            .toDouble();
    return received > 0 ? qint64(std::floor(received * percent / 100.0 + 1e-9)) : 0;
}

void FollowProposedPoints(int trade, qint64 before)
{
    const QVariant stored = GetScalar(QStringLiteral("SELECT lstackpoint FROM tbltrade WHERE code = ?"), {trade});
    if (!stored.isValid() || stored.isNull())
        return;
    const qint64 now = qint64(stored.toDouble());
    if (now != 0 && now != before)
        return;
    const qint64 proposed = ProposedPoints(trade);
    if (proposed != now && CountFits(double(proposed)))
        ExecSQL(QStringLiteral("UPDATE tbltrade SET lstackpoint = ? WHERE code = ? AND lstackpoint = ?"),
                {proposed, trade, now});
}

double CatalogPrice(int code)
{
    return GetScalar(QStringLiteral("SELECT smoney FROM tblservice WHERE code = ?"), {code}).toDouble();
}
