#include "moneybook/GraphAnalysis.h"

#include "calendar/DateText.h"
#include "db/Database.h"
#include "db/SqlPart.h"
#include "moneybook/MoneyBookRules.h"

#include <QDate>
#include <QHash>

namespace GraphAnalysis {

namespace {
QString groupExpression(const Filter& f) {
    switch (f.basis) {
    case ByMonth:
        return QStringLiteral("\"LEFT\"(sdate, 7)");
    case ByYear:
        return QStringLiteral("\"LEFT\"(sdate, 4)");
    case BySection:
        return QStringLiteral("sectionclass");
    case ByUsePlace:
        return QStringLiteral("ctblusename");
    case ByItem:
        return QStringLiteral("ctblitem");
    case ByAccount:
        return f.income ? QStringLiteral("cgroupin") : QStringLiteral("cgroupout");
    default:
        return QStringLiteral("sdate");
    }
}

QDate weekStart(const QDate& d) {
    return d.addDays(-(d.dayOfWeek() % 7)); // Sunday starts the week
}
} // namespace

QList<Point> Run(const Filter& f) {
    const QString expr = groupExpression(f);
    SqlPart part{QStringLiteral("SELECT ") + expr +
                     QStringLiteral(" AS name, SUM(smoney) AS ssum1 FROM tbljangbu WHERE (") +
                     (f.income
                          ? QStringLiteral("sectionclass = '1' OR sectionclass = '3'")
                          : QStringLiteral(
                                "sectionclass = '0' OR sectionclass = '2' OR sectionclass = '6'")) +
                     QStringLiteral(")"),
                 {}};
    if (!f.item.isEmpty())
        part +=
            SqlPart{QStringLiteral(" AND (ctblitem LIKE ?") + LikeEscape() + QStringLiteral(")"),
                    {LikeContains(f.item)}};
    if (f.usePlace > 0) part += SqlPart{QStringLiteral(" AND (ctblusename = ?)"), {f.usePlace}};
    if (f.account > 0) {
        if (f.accountIsCard)
            part += SqlPart{QStringLiteral(" AND (cgroupin = ?)"), {f.account}};
        else
            part += SqlPart{QStringLiteral(" AND (cgroupin = ? OR cgroupout = ?)"),
                            {f.account, f.account}};
    }
    const MoneyBook::Period p = MoneyBook::NormalizePeriod(f.from, f.to);
    if (!p.from.isEmpty()) {
        if (p.from == p.to)
            part += SqlPart{QStringLiteral(" AND (sdate = ?)"), {p.from}};
        else
            part += SqlPart{QStringLiteral(" AND (sdate BETWEEN ? AND ?)"), {p.from, p.to}};
    }
    part += QStringLiteral(" GROUP BY ") + expr + QStringLiteral(" ORDER BY ") + expr;

    QList<Point> points;
    Recordset rs;
    const int n = OpenRecordset(rs, part.sql, part.params);
    if (n <= 0) return points;
    points.reserve(n);
    if (f.basis == ByWeek) {
        const QString firstYear = rs.row(0)[0].toString().left(4);
        const QString lastYear = rs.row(n - 1)[0].toString().left(4);
        const bool withYear = firstYear != lastYear;
        QDate current;
        for (int r = 0; r < n; ++r) {
            const QString date = rs.row(r)[0].toString();
            const QDate d = DateFromText(date);
            const QDate start = d.isValid() ? weekStart(d) : QDate();
            if (points.isEmpty() || !start.isValid() || start != current) {
                points.append({WeekOfMonthText(date, withYear), 0});
                current = start;
            }
            points.last().value += rs.row(r)[1].toDouble();
        }
        return points;
    }
    QHash<int, QString> names;
    for (int r = 0; r < n; ++r) {
        const QVariant key = rs.row(r)[0];
        QString label = key.toString();
        if (f.basis == BySection) {
            label = MoneyBook::SectionName(key.toString().toInt());
        } else if (f.basis == ByUsePlace) {
            const int code = key.toInt();
            label = code > 1
                        ? GetScalar(QStringLiteral("SELECT sname FROM tblusename WHERE code = ?"),
                                    {code})
                              .toString()
                        : QString();
        } else if (f.basis == ByAccount) {
            const int code = key.toInt();
            label = code <= 1 ? QStringLiteral("현금") : AccountNameByCode(code);
        }
        // Entries without a usage place or category (or with one deleted since) form a
        // point of their own, which must carry a name like every other.
        if (label.trimmed().isEmpty()) label = QStringLiteral("(없음)");
        points.append({label, rs.row(r)[1].toDouble()});
    }
    return points;
}

} // namespace GraphAnalysis
