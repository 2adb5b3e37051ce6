#include "sales/MoneyBalance.h"

#include "db/Database.h"
#include "db/SchemaUpgrade.h"

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

double jangbuSum(const QString& condition, const QVariantList& params,
                 const QString& table = QStringLiteral("tbljangbu"))
{
    return scalarNumber(QStringLiteral("SELECT SUM(smoney) AS sMon FROM ") + table
                            + QStringLiteral(" WHERE ") + condition,
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

// The entries before a date are summed from the totals by date and section when the
// database keeps them (a few rows a day instead of every entry); the conditions are the
// same, since those totals keep each date and section text as stored. Without them (a
// database not upgraded yet, or one whose triggers are gone) every entry is summed.
double BalanceBefore(bool cashOnly, const QString& date)
{
    const QString table =
        LedgerTotalsKept() ? QStringLiteral("tbljangbusum") : QStringLiteral("tbljangbu");
    if (cashOnly) {
        const double in = jangbuSum(
            QStringLiteral("(sectionclass = '1' OR sectionclass = '4' OR sectionclass = '7') "
                           "AND sdate < ?"),
            {date}, table);
        const double out = jangbuSum(
            QStringLiteral("(sectionclass = '0' OR sectionclass = '5') AND sdate < ?"), {date},
            table);
        return cashOpening() + in - out;
    }
    const double opening =
        scalarNumber(QStringLiteral("SELECT SUM(sbalance) AS sMon FROM tblgrouping"));
    const double in = jangbuSum(
        QStringLiteral("(sectionclass = '1' OR sectionclass = '3') AND sdate < ?"), {date}, table);
    const double out = jangbuSum(
        QStringLiteral("(sectionclass = '0' OR sectionclass = '2' OR sectionclass = '6') "
                       "AND sdate < ?"),
        {date}, table);
    return opening + in - out;
}
