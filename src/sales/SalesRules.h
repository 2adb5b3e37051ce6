#pragma once

#include <QString>

class QWidget;

// Rules shared by the sales windows, kept free of widgets.

// Largest amount a money cell or field accepts (either sign).
constexpr double kMaxAmount = 999999999999.0;
// Largest whole count (points) a cell accepts: a 32-bit value.
constexpr double kMaxCount = 2147483647.0;

// The numeric value of a typed number: "1,500원" → 1500, "-" and "" → 0.
double SalesNumber(const QString& text);
// Whether a value fits an amount / a point count.
bool AmountFits(double value);
bool CountFits(double value);
// "입력하신 숫자가 너무 큽니다." shown for a value beyond those limits.
void ShowNumberTooLarge();
// An amount shown with thousands separators ("#,##0").
QString MoneyText(double value);
// A number for a hidden cell or field: no separators, integers without decimals.
QString PlainNumber(double value);

// Payment split of one trade.
struct PaymentSplit {
    double cash = 0, card = 0, account = 0, points = 0, discount = 0;
    double total() const { return cash + card + account + points + discount; }
};

// The cash proposed when a payment editor opens: what the other components leave of
// the amount owed, never below 0 (a credit is not turned into a refund).
double ProposedCash(double owed, const PaymentSplit& split);
// Cash after an amount was typed into another component: `before` is cash + that
// component's value when the field was entered. Never below 0; cash already at or below 0
// becomes 0.
double CashAfterComponent(double cash, double before, double component);

// Whether a trade line whose service was `previousService` takes the catalog price of
// `chosen` when that service is picked for it: only a line without a price (empty or 0),
// or one still showing the catalog price of its previous catalog service, which was never
// typed. A typed price always stands.
bool TakesCatalogPrice(int previousService, int chosen, double price);
// The unit price of service `code` in the catalog (0 when absent).
double CatalogPrice(int code);
// Quantity and price of a line after service `chosen` was picked for it: an empty or 0
// quantity becomes 1, the price follows TakesCatalogPrice.
void ApplyPickedService(int previousService, int chosen, double* quantity, double* price);

// Quantities are whole numbers; "수량은 정수로 입력하세요." for a fraction.
bool WholeQuantity(double value);
void ShowWholeQuantity();

// Points of a member: whether `points` earned by trade `trade` keep the member's point
// balance within a 32-bit count (the other trades as stored, this trade's spent points
// counted).
bool MemberPointsFit(int member, int trade, double points);

// The points the options propose for a trade: option pointindex 0 gives option `point`
// percent of the amount received (whole points, rounded down); 1 gives the sum over its
// lines of the service's points per unit × quantity. Read from the stored trade.
qint64 ProposedPoints(int trade);
// After a write that changed the trade's payment or lines: when its stored points are 0 or
// `before` (what ProposedPoints gave before the write, so the value was proposed, not
// typed), they become the new proposal. A typed value stands.
void FollowProposedPoints(int trade, qint64 before);

// Card fee and deposit of a card payment (fee rate in percent), not rounded.
double CardFee(double amount, double feeRate);
double CardDeposit(double amount, double feeRate);

// Deletes a trade with its lines in one transaction; rows of the trade deleted (0 on
// failure, nothing changed).
int DeleteTradeWithLines(int tradeCode);
