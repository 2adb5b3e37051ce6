#include "moneybook/MoneyBookRules.h"

#include "calendar/DateText.h"
#include "core/Clock.h"
#include "db/Database.h"
#include "sales/SalesRules.h"
#include "ui/TextRules.h"

#include <QDate>

#include <algorithm>
#include <cmath>

namespace MoneyBook {

namespace {
const char* const kNames[SectionCount] = {"현금지출",   "현금수입", "통장지출", "통장수입",
                                          "통장출금",   "통장입금", "카드지출", "현금써비스",
                                          "통장간이동", "통장잔액"};
const char* const kPickTexts[SectionCount] = {
    "현  금  지  출", "현  금  수  입", "통  장  지  출", "통  장  수  입", "통  장  출  금",
    "통  장  입  금", "카  드  지  출", "현 금 써 비 스", "통 장 간 이 동", "통장잔액기록"};

QString stripBlanks(const QString& text) {
    QString out;
    for (QChar c : text)
        if (!c.isSpace()) out += c;
    return out;
}
} // namespace

QString SectionName(int section) {
    return section >= 0 && section < SectionCount ? QString::fromUtf8(kNames[section]) : QString();
}

QString SectionPickText(int section) {
    return section >= 0 && section < SectionCount ? QString::fromUtf8(kPickTexts[section])
                                                  : QString();
}

int SectionByName(const QString& text) {
    QString t = stripBlanks(text);
    if (t == QStringLiteral("통장잔액기록")) t = QStringLiteral("통장잔액");
    for (int i = 0; i < SectionCount; ++i)
        if (t == QString::fromUtf8(kNames[i])) return i;
    return -1;
}

int SectionByShortcut(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok || t.startsWith(u'+') || t.startsWith(u'0') || n < 1 || n > SectionCount) return -1;
    return n - 1;
}

AmountColumn AmountColumnOf(int section, bool cashOnly) {
    if (cashOnly) {
        if (section == 1 || section == 4 || section == 7) return AmountColumn::Income;
        if (section == 0 || section == 5) return AmountColumn::Expense;
        return AmountColumn::Other;
    }
    if (section == 1 || section == 3) return AmountColumn::Income;
    if (section == 0 || section == 2 || section == 6) return AmountColumn::Expense;
    return AmountColumn::Other;
}

PlaceCells PlaceCellsOf(int section) {
    PlaceCells p;
    switch (section) {
    case 2:
    case 4:
        p.accountOut = true;
        break;
    case 3:
    case 5:
    case 9:
        p.accountIn = true;
        break;
    case 8:
        p.accountIn = p.accountOut = true;
        break;
    case 6:
    case 7:
        p.card = true;
        break;
    default:
        break;
    }
    return p;
}

QString ItemClassOfSection(int section) {
    if (section == 0 || section == 2 || section == 6) return QStringLiteral("2");
    if (section == 1 || section == 3) return QStringLiteral("1");
    return {};
}

int ItemOptionOfSection(int section) {
    if (section == 0 || section == 2 || section == 6) return 1;
    if (section == 1 || section == 3) return 0;
    return 2;
}

Period NormalizePeriod(const QString& from, const QString& to) {
    QString a = NormalizeDate(from);
    QString b = NormalizeDate(to);
    if (a.isEmpty()) a = b;
    if (b.isEmpty()) b = a;
    if (b < a) std::swap(a, b);
    return {a, b};
}

bool CarriesBalance(const LedgerFilter& f) {
    return f.kind == 0 && !f.noCarry && f.section < 0 && f.account <= 0 && f.item.isEmpty() &&
           f.usePlace <= 0 && f.memo.isEmpty();
}

SqlPart LedgerWhere(const LedgerFilter& f) {
    SqlPart part{QStringLiteral("("), {}};
    if (f.kind == 1)
        part += f.cashOnly
                    ? QStringLiteral(
                          "j.sectionclass = '1' OR j.sectionclass = '4' OR j.sectionclass = '7'")
                    : QStringLiteral("j.sectionclass = '1' OR j.sectionclass = '3'");
    else if (f.kind == 2)
        part += f.cashOnly
                    ? QStringLiteral("j.sectionclass = '0' OR j.sectionclass = '5'")
                    : QStringLiteral(
                          "j.sectionclass = '0' OR j.sectionclass = '2' OR j.sectionclass = '6'");
    else
        part += QStringLiteral("1 = 1");
    part += QStringLiteral(") AND (1 = 1");
    if (!f.item.isEmpty())
        part += SqlPart{QStringLiteral(" AND j.ctblitem LIKE ?") + LikeEscape(),
                        {LikeContains(f.item)}};
    if (f.usePlace > 0) part += SqlPart{QStringLiteral(" AND j.ctblusename = ?"), {f.usePlace}};
    if (f.section >= 0)
        part += SqlPart{QStringLiteral(" AND j.sectionclass = ?"), {QString::number(f.section)}};
    if (f.account > 0)
        part += SqlPart{QStringLiteral(" AND (j.cgroupin = ? OR j.cgroupout = ?)"),
                        {f.account, f.account}};
    if (!f.memo.isEmpty())
        part +=
            SqlPart{QStringLiteral(" AND j.smemo LIKE ?") + LikeEscape(), {LikeContains(f.memo)}};
    if (f.code > 0) part += SqlPart{QStringLiteral(" AND j.code = ?"), {f.code}};
    if (!f.period.from.isEmpty()) {
        if (f.period.from == f.period.to)
            part += SqlPart{QStringLiteral(" AND j.sdate = ?"), {f.period.from}};
        else
            part += SqlPart{QStringLiteral(" AND j.sdate BETWEEN ? AND ?"),
                            {f.period.from, f.period.to}};
    }
    part += QStringLiteral(")");
    return part;
}

SqlPart LedgerSelect(const LedgerFilter& f) {
    SqlPart part{
        QStringLiteral("SELECT j.code, j.sdate, j.sectionclass, u.sname, g.accountname AS inname, "
                       "g1.accountname AS outname, "
                       "j.smoney, j.ctblitem, j.cgroupin, j.cgroupout, j.ctblusename, j.smemo FROM "
                       "tbljangbu AS j "
                       "LEFT OUTER JOIN tblgrouping AS g ON g.code = j.cgroupin "
                       "LEFT OUTER JOIN tblgrouping AS g1 ON g1.code = j.cgroupout "
                       "LEFT OUTER JOIN tblusename AS u ON u.code = j.ctblusename WHERE "),
        {}};
    part += LedgerWhere(f);
    return part;
}

SqlPart LedgerSql(const LedgerFilter& f) {
    SqlPart part = LedgerSelect(f);
    part += QStringLiteral(" ORDER BY j.sdate, j.code");
    return part;
}

LedgerEntry ReadLedgerEntry(const QVector<QVariant>& v) {
    LedgerEntry e;
    e.code = v[0].toInt();
    e.date = v[1].toString();
    bool ok = false;
    e.section = v[2].toString().toInt(&ok);
    if (!ok || e.section < 0 || e.section >= SectionCount) e.section = -1;
    e.useName = v[3].toString();
    e.inName = v[4].toString();
    e.outName = v[5].toString();
    e.money = v[6].toDouble();
    e.item = v[7].toString();
    e.groupIn = v[8].toInt();
    e.groupOut = v[9].toInt();
    e.usePlace = v[10].toInt();
    e.memo = v[11].toString();
    return e;
}

QList<LedgerEntry> LoadLedger(const LedgerFilter& filter) {
    QList<LedgerEntry> out;
    const SqlPart part = LedgerSql(filter);
    Recordset rs;
    if (OpenRecordset(rs, part.sql, part.params) <= 0) return out;
    out.reserve(rs.recordCount());
    for (int r = 0; r < rs.recordCount(); ++r)
        out.append(ReadLedgerEntry(rs.row(r)));
    return out;
}

double LedgerSums::movement(bool cashOnly, bool beforeOnly) const {
    double m = 0;
    for (int s = 0; s < SectionCount; ++s) {
        const double v = beforeOnly ? before[s] : all[s];
        switch (AmountColumnOf(s, cashOnly)) {
        case AmountColumn::Income:
            m += v;
            break;
        case AmountColumn::Expense:
            m -= v;
            break;
        default:
            break;
        }
    }
    return m;
}

bool LoadLedgerSums(const LedgerFilter& filter, const QString& beforeDate, int beforeCode,
                    LedgerSums* sums) {
    *sums = {};
    // One pass by section: the section index covers date and amount, so the entries are
    // summed without reading their rows.
    SqlPart part = beforeDate.isEmpty()
                       ? SqlPart{QStringLiteral("SELECT j.sectionclass, SUM(j.smoney), 0 FROM "
                                                "tbljangbu AS j WHERE "),
                                 {}}
                       : SqlPart{QStringLiteral("SELECT j.sectionclass, SUM(j.smoney), SUM(CASE "
                                                "WHEN j.sdate < ? OR (j.sdate = ? AND j.code < ?) "
                                                "THEN j.smoney ELSE 0 END) FROM tbljangbu AS j WHERE "),
                                 {beforeDate, beforeDate, beforeCode}};
    part += LedgerWhere(filter);
    part += QStringLiteral(" GROUP BY j.sectionclass");
    Recordset rs;
    const int n = OpenRecordset(rs, part.sql, part.params);
    if (n < 0) return false;
    for (int r = 0; r < n; ++r) {
        const QVector<QVariant>& v = rs.row(r);
        bool ok = false;
        int s = v[0].toString().toInt(&ok);
        if (!ok || s < 0 || s >= SectionCount) s = SectionCount;
        sums->all[s] += v[1].toDouble();
        sums->before[s] += v[2].toDouble();
    }
    return true;
}

AmountCheck CheckAmount(const QString& text, double* value) {
    const QString t = text.trimmed();
    if (value) *value = 0;
    if (t.isEmpty()) return AmountCheck::Ok;
    if (!std::any_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); }))
        return AmountCheck::NotNumber;
    const double v = NumericValue(t);
    if (!std::isfinite(v) || std::fabs(v) > kMaxAmount) return AmountCheck::TooLarge;
    if (v < 0) return AmountCheck::Negative;
    if (v != std::floor(v)) return AmountCheck::Fraction;
    if (value) *value = v;
    return AmountCheck::Ok;
}

QString AmountMessage(AmountCheck check) {
    switch (check) {
    case AmountCheck::NotNumber:
        return QStringLiteral("금액은 숫자로 입력하세요.");
    case AmountCheck::Negative:
        return QStringLiteral("금액은 0 이상으로 입력하세요.");
    case AmountCheck::Fraction:
        return QStringLiteral("금액은 원 단위로 입력하세요. 소수점 이하는 입력할 수 없습니다.");
    case AmountCheck::TooLarge:
        return QStringLiteral("입력하신 숫자가 너무 큽니다.");
    default:
        return {};
    }
}

QString MissingPlace(int section, int groupIn, int groupOut) {
    const PlaceCells p = PlaceCellsOf(section);
    if (p.card && groupIn <= 1) return QStringLiteral("신용카드");
    if (p.accountOut && groupOut <= 1) return QStringLiteral("출금통장");
    if (p.accountIn && groupIn <= 1) return QStringLiteral("입금통장");
    return {};
}

QString DefaultEntryDate(const Period& period) {
    const QString today = Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
    if (period.to.isEmpty() || (today >= period.from && today <= period.to)) return today;
    return period.to;
}

QString MoneyText(double value) {
    return FormatNumber(value, 0);
}

double RunningBalance::at(int row) {
    if (row < 0) return m_base;
    if (size_t(row) >= m_sums.size()) m_sums.resize(size_t(row) + 1);
    for (; m_valid <= row; ++m_valid)
        m_sums[size_t(m_valid)] = (m_valid > 0 ? m_sums[size_t(m_valid - 1)] : 0) + m_movement(m_valid);
    return m_base + m_sums[size_t(row)];
}

} // namespace MoneyBook
