#include "comm/SmsSearch.h"

#include "members/DuesRules.h"
#include "members/MemberRules.h"
#include "members/MemberSearch.h"

#include <QDate>

using namespace MemberSearchText;

namespace {

// A typed search text without control characters (a pasted line break or NUL would
// change the pattern).
QString searchText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (c.category() != QChar::Other_Control) out += c;
    return out;
}

// The ESCAPE clause only where the text holds a character that needed escaping: without
// one the pattern reads the same either way, and the engine's LIKE is about an eighth
// slower per call with an escape character (13 columns x every member in the text search).
QString escapeFor(const QString& text) {
    return LikeLiteral(text) == text ? QString() : LikeEscape();
}

SqlPart containsAny(const QStringList& columns, const QString& text) {
    SqlPart part;
    const QString pattern = LikeContains(text);
    const QString escape = escapeFor(text);
    for (const QString& column : columns) {
        if (!part.sql.isEmpty()) part.sql += QStringLiteral(" OR ");
        part.sql += QStringLiteral("f.") + column + QStringLiteral(" LIKE ?") + escape;
        part.params << pattern;
    }
    return part;
}

const QStringList kPhones = {QStringLiteral("hpline"),  QStringLiteral("finalline"),
                             QStringLiteral("keyline"), QStringLiteral("faxline"),
                             QStringLiteral("hline1"),  QStringLiteral("hline2"),
                             QStringLiteral("hline3")};
const QStringList kAddresses = {QStringLiteral("homeadd"), QStringLiteral("homeadd2"),
                                QStringLiteral("comadd"), QStringLiteral("comadd2")};

// The condition of the text search, empty when it narrows nothing.
SqlPart textCondition(const SmsSearchInput& in) {
    if (in.menu == MenuGroup) return {QStringLiteral("f.ctblgroup = ?"), {in.groupCode}};
    const QString t = searchText(in.text);
    if (t.isEmpty()) return {};
    if (in.menu == MenuAll) {
        QStringList columns = {QStringLiteral("sname")};
        columns += kPhones;
        columns += kAddresses;
        columns << QStringLiteral("smemo");
        SqlPart part = containsAny(columns, t);
        part.sql += QStringLiteral(" OR f.abo LIKE ?") + escapeFor(t);
        part.params << LikeLiteral(t);
        return part;
    }
    if (in.menu == MenuName) return containsAny({QStringLiteral("sname")}, t);
    if (in.menu == MenuPhone) {
        // Numbers are compared by their digits, as the caller look-up does, so
        // "01012345678" finds "010-1234-5678" and the other way round.
        const QString digits = PhoneDigits(t);
        if (digits.isEmpty()) return containsAny(kPhones, t);
        SqlPart part;
        for (const QString& column : kPhones) {
            if (!part.sql.isEmpty()) part.sql += QStringLiteral(" OR ");
            part.sql += PhoneDigitsSql(QStringLiteral("f.") + column) + QStringLiteral(" LIKE ?");
            part.params << QStringLiteral("%") + digits + QStringLiteral("%");
        }
        return part;
    }
    if (in.menu == MenuAddress) return containsAny(kAddresses, t);
    if (in.menu == MenuMemo) return containsAny({QStringLiteral("smemo")}, t);
    return {};
}

SqlPart dateCondition(const SmsSearchInput& in, SmsQuery& q) {
    auto remark = [&q](const QString& header) {
        q.remark = SmsRemark::Date;
        q.header = header;
    };
    if (in.dateKind == DateBirth) {
        remark(QStringLiteral("생  일"));
        return MakeAnniversaryWhere(QStringLiteral("f.barthday"), QStringLiteral("f.lunarbarth"),
                                    in.start, in.end);
    }
    if (in.dateKind == DateMarry) {
        remark(QStringLiteral("결혼기념일"));
        return MakeAnniversaryWhere(QStringLiteral("f.marryday"), QStringLiteral("f.lunarmarry"),
                                    in.start, in.end);
    }
    if (in.dateKind == DateOther) {
        remark(QStringLiteral("기타기념일"));
        return MakeAnniversaryWhere(QStringLiteral("f.ectday"), QStringLiteral("f.lunarect"),
                                    in.start, in.end);
    }
    if (in.dateKind == DateJoined) {
        remark(QStringLiteral("회원가입일"));
        return {QStringLiteral("f.insertday BETWEEN ? AND ?"), {in.start, in.end}};
    }
    if (in.dateKind == DateModified) {
        remark(QStringLiteral("최종수정일"));
        return {QStringLiteral("f.finalday BETWEEN ? AND ?"), {in.start, in.end}};
    }
    return {};
}

QString remarkColumn(const SmsSearchInput& in, SmsRemark remark) {
    switch (remark) {
    case SmsRemark::Date:
        if (in.dateKind == DateBirth) return QStringLiteral("f.barthday");
        if (in.dateKind == DateMarry) return QStringLiteral("f.marryday");
        if (in.dateKind == DateOther) return QStringLiteral("f.ectday");
        if (in.dateKind == DateJoined) return QStringLiteral("f.insertday");
        return QStringLiteral("f.finalday");
    case SmsRemark::Group:
        return QStringLiteral("g.gname");
    case SmsRemark::Address:
        return QStringLiteral("f.homeadd || ' ' || f.homeadd2");
    case SmsRemark::TradeSum:
        return QStringLiteral("x.total");
    case SmsRemark::UnpaidMonth:
    case SmsRemark::Memo:
        break;
    }
    return QStringLiteral("f.smemo");
}

} // namespace

QStringList SmsMenuChoices() {
    return {MenuAll, MenuName, MenuGroup, MenuPhone, MenuAddress, MenuMemo};
}

QString SmsSearchMonth(const SmsSearchInput& in) {
    return QStringLiteral("%1-%2")
        .arg(in.year, 4, 10, QLatin1Char('0'))
        .arg(in.month, 2, 10, QLatin1Char('0'));
}

SmsMonthSpan SmsSearchMonthSpan(const SmsSearchInput& in) {
    const QDate first(in.year, in.month, 1);
    if (!first.isValid()) return {};
    const QString fmt = QStringLiteral("yyyy-MM-dd");
    return {first.toString(fmt), QDate(in.year, in.month, first.daysInMonth()).toString(fmt)};
}

SmsQuery SmsSearchSql(const SmsSearchInput& in) {
    SmsQuery q;
    q.header = QStringLiteral("비 고");
    SqlPart where;
    if (in.marry == 1 || in.marry == 2)
        where.sql += in.marry == 1 ? QStringLiteral(" AND f.marryox = 0")
                                   : QStringLiteral(" AND f.marryox = 1");
    // The member editor stores the sex as "남" / "여".
    if (in.sex == 1 || in.sex == 2) {
        where.sql += QStringLiteral(" AND f.male = ?");
        where.params << (in.sex == 1 ? QStringLiteral("남") : QStringLiteral("여"));
    }
    const SqlPart date = dateCondition(in, q);
    if (!date.sql.isEmpty()) {
        where.sql += QStringLiteral(" AND (");
        where += date;
        where.sql += u')';
    }
    const SqlPart text = textCondition(in);
    if (!text.sql.isEmpty()) {
        where.sql += QStringLiteral(" AND (");
        where += text;
        where.sql += u')';
        if (q.remark == SmsRemark::Memo && in.menu == MenuGroup) {
            q.remark = SmsRemark::Group;
            q.header = QStringLiteral("그  룹");
        } else if (q.remark == SmsRemark::Memo && in.menu == MenuAddress) {
            q.remark = SmsRemark::Address;
            q.header = QStringLiteral("주  소");
        }
    }

    SqlPart from;
    from.sql = QStringLiteral(" FROM tblfriend AS f");
    if (q.remark == SmsRemark::Group) // the group name is read only where it is shown
        from.sql += QStringLiteral(" LEFT JOIN tblgroup AS g ON g.code = f.ctblgroup");
    const QString month = SmsSearchMonth(in);
    if (in.section == SmsSearchInput::UnpaidDues) {
        q.remark = SmsRemark::UnpaidMonth;
        q.header = QStringLiteral("미 납 월");
        where.sql +=
            QStringLiteral(" AND f.ctblgroup = ? AND NOT EXISTS (SELECT 1 FROM tblgroupmon AS m"
                           " WHERE m.ctblfriend = f.code AND m.ctblgroup = f.ctblgroup"
                           " AND m.inoutclass = '0' AND m.smonth = ?)");
        where.params << in.groupCode << month;
    } else if (in.section == SmsSearchInput::TradeSums) {
        q.remark = SmsRemark::TradeSum;
        q.header = QStringLiteral("거래금액");
        // The month's trades are read through the date index and their lines through the
        // (ctbltrade, dsum) index, neither touching a table. Grouping by the plain member
        // column would make the engine walk every trade of every year through the member
        // index instead, to save sorting the month's few groups ("+ 0" prevents that).
        from.sql +=
            QStringLiteral(" JOIN (SELECT t.ctblfriend + 0 AS ctblfriend, SUM(s.dsum) AS total"
                           " FROM tbltrade AS t JOIN tbltradesub AS s ON s.ctbltrade = t.code"
                           " WHERE t.sdate BETWEEN ? AND ? GROUP BY t.ctblfriend + 0) AS x"
                           " ON x.ctblfriend = f.code");
        const SmsMonthSpan span = SmsSearchMonthSpan(in);
        from.params << span.first << span.last;
    }

    q.part.sql = QStringLiteral("SELECT f.sname, f.hpline, ") + remarkColumn(in, q.remark) +
                 QStringLiteral(" AS remark, f.homeadd || ' ' || f.homeadd2 AS address, f.smemo");
    if (in.section == SmsSearchInput::UnpaidDues) q.part.sql += QStringLiteral(", f.feestart");
    q.part.sql += QStringLiteral(", f.ctblgroup, f.code"); // the keys of the order, read in blocks
    q.part += from;
    q.part.sql += QStringLiteral(" WHERE f.code <> 1 AND f.hidden = 0");
    q.part += where;
    q.select = q.part;
    // Ordering by the plain group column lets the engine walk the members through the
    // group index, one table look-up per member, and skip the sort. That is the cheapest
    // way to the whole list and to one group (which the index finds directly). Any other
    // search reads the table straight through and sorts what it keeps: the look-ups cost
    // more than the sort once a filter leaves out part of the list ("+ 0" keeps the index
    // from serving the order).
    const bool byGroupIndex =
        in.menu == MenuGroup || in.section == SmsSearchInput::UnpaidDues || where.sql.isEmpty();
    q.order = {byGroupIndex ? QStringLiteral("f.ctblgroup") : QStringLiteral("f.ctblgroup + 0"),
               QStringLiteral("f.code")};
    q.part.sql += QStringLiteral(" ORDER BY ") + q.order.join(QStringLiteral(", "));
    return q;
}

DuesMonthCheck CheckDuesMonth(const QString& repeatClass, const QString& settlementDay, int year,
                              int month, const QDate& today) {
    if (repeatClass.trimmed().isEmpty()) return DuesMonthCheck::NoSchedule;
    if (!IsDueMonth(repeatClass, month)) return DuesMonthCheck::NotDueMonth;
    const QDate due = DueDate(settlementDay, year, month);
    return !due.isValid() || today < due ? DuesMonthCheck::BeforeDueDay : DuesMonthCheck::Due;
}
