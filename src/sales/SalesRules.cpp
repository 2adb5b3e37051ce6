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
    return chosen > 1 && (price == 0 || chosen != previousService);
}

double CatalogPrice(int code)
{
    return GetScalar(QStringLiteral("SELECT smoney FROM tblservice WHERE code = ?"), {code}).toDouble();
}
