#include "sales/MoneyBalance.h"

#include "db/Database.h"

namespace {
double number(const QString& sql, const QVariantList& params = {}) {
    return GetScalar(sql, params).toDouble();
}

double sumWhere(const QString& condition, const QVariantList& params = {}) {
    return number(QStringLiteral("SELECT SUM(smoney) AS sMon FROM tbljangbu WHERE ") + condition,
                  params);
}
} // namespace

double AccountBalance(int code) {
    const double opening =
        number(QStringLiteral("SELECT sbalance FROM tblgrouping WHERE code = ?"), {code});
    const double plus = sumWhere(
        QStringLiteral(
            "cgroupin = ? AND (sectionclass = '3' OR sectionclass = '5' OR sectionclass = '8')"),
        {code});
    const double minus =
        sumWhere(QStringLiteral("cgroupout = ? AND (sectionclass = '2' OR sectionclass = '4' OR "
                                "sectionclass = '6' OR sectionclass = '7' OR sectionclass = '8')"),
                 {code});
    return opening + plus - minus;
}

double CashBalance() {
    const double opening =
        number(QStringLiteral("SELECT sbalance FROM tblgrouping WHERE code = 1"));
    const double plus =
        sumWhere(QStringLiteral("sectionclass = '1' OR sectionclass = '4' OR sectionclass = '7'"));
    const double minus = sumWhere(QStringLiteral("sectionclass = '0' OR sectionclass = '5'"));
    return opening + plus - minus;
}

double BalanceBefore(bool cashOnly, const QString& date) {
    if (cashOnly) {
        const double opening =
            number(QStringLiteral("SELECT sbalance FROM tblgrouping WHERE code = 1"));
        const double plus = sumWhere(
            QStringLiteral(
                "(sectionclass = '1' OR sectionclass = '4' OR sectionclass = '7') AND sdate < ?"),
            {date});
        const double minus = sumWhere(
            QStringLiteral("(sectionclass = '0' OR sectionclass = '5') AND sdate < ?"), {date});
        return opening + plus - minus;
    }
    const double opening = number(QStringLiteral("SELECT SUM(sbalance) AS sMon FROM tblgrouping"));
    const double plus = sumWhere(
        QStringLiteral("(sectionclass = '1' OR sectionclass = '3') AND sdate < ?"), {date});
    const double minus = sumWhere(
        QStringLiteral(
            "(sectionclass = '0' OR sectionclass = '2' OR sectionclass = '6') AND sdate < ?"),
        {date});
    return opening + plus - minus;
}
