#include "sales/MoneyBalance.h"

#include "db/Database.h"

#include <QString>
#include <QVariant>

namespace {

double scalarNumber(const QString& sql, const QVariantList& params = {})
{
    const QVariant v = GetScalar(sql, params);
    if (!v.isValid() || v.isNull())
        return 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : 0;
}

double jangbuSum(const QString& condition, const QVariantList& params)
{
    return scalarNumber(QStringLiteral("SELECT SUM(smoney) AS sMon FROM tbljangbu WHERE ")
                            + condition,
                        params);
}

double cashOpening()
{
    return scalarNumber(QStringLiteral("SELECT sbalance FROM tblgrouping WHERE code = 1"));
}

} // namespace

double AccountBalance(int code)
{
    const double opening =
        scalarNumber(QStringLiteral("SELECT sbalance FROM tblgrouping WHERE code = ?"), {code});
    const double in = jangbuSum(
        QStringLiteral("cgroupin = ? AND (sectionclass = '3' OR sectionclass = '5' OR "
                       "sectionclass = '8')"),
        {code});
    const double out = jangbuSum(
        QStringLiteral("cgroupout = ? AND (sectionclass = '2' OR sectionclass = '4' OR "
                       "sectionclass = '6' OR sectionclass = '7' OR sectionclass = '8')"),
        {code});
    return opening + in - out;
}

double CashBalance()
{
    const double in = jangbuSum(
        QStringLiteral("sectionclass = '1' OR sectionclass = '4' OR sectionclass = '7'"), {});
    const double out =
        jangbuSum(QStringLiteral("sectionclass = '0' OR sectionclass = '5'"), {});
    return cashOpening() + in - out;
}

double BalanceBefore(bool cashOnly, const QString& date)
{
    if (cashOnly) {
        const double in = jangbuSum(
            QStringLiteral("(sectionclass = '1' OR sectionclass = '4' OR sectionclass = '7') "
                           "AND sdate < ?"),
            {date});
        const double out = jangbuSum(
            QStringLiteral("(sectionclass = '0' OR sectionclass = '5') AND sdate < ?"), {date});
        return cashOpening() + in - out;
    }
    const double opening =
        scalarNumber(QStringLiteral("SELECT SUM(sbalance) AS sMon FROM tblgrouping"));
    const double in = jangbuSum(
        QStringLiteral("(sectionclass = '1' OR sectionclass = '3') AND sdate < ?"), {date});
    const double out = jangbuSum(
        QStringLiteral("(sectionclass = '0' OR sectionclass = '2' OR sectionclass = '6') "
                       "AND sdate < ?"),
        {date});
    return opening + in - out;
}
