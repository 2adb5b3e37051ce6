#include "members/MemberSearch.h"

#include "core/Clock.h"
#include "calendar/Convlunar.h"

#include <QDate>

using namespace MemberSearchText;

QStringList MemberDateChoices()
{
    return {DateNone, DateBirth, DateMarry, DateOther, DateJoined, DateModified};
}

QStringList MemberMenuChoices()
{
    return {MenuAll,  MenuName,  MenuGroup,   MenuPhone, MenuAddress,
            MenuMemo, MenuBlood, MenuSex, MenuMarried, MenuCodeNo};
}

QStringList MemberMenuValues(const QString& menu)
{
    if (menu == MenuBlood)
        return {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("AB"), QStringLiteral("O")};
    if (menu == MenuSex)
        return {QStringLiteral("남"), QStringLiteral("여")};
    if (menu == MenuMarried)
        return {QStringLiteral("미혼"), QStringLiteral("기혼")};
    return {};
}

QString UserFieldColumn(int index0)
{
    return QStringLiteral("userfieldnote") + QString::number(index0 + 1);
}

// The condition of a search choice that narrows nothing.
static SqlPart noCondition()
{
    return {QStringLiteral("1=1"), {}};
}

// Month-day comparison "MM-DD" between from and to; a range running over the new year
// (from > to) becomes from..12-31 or 01-01..to.
static SqlPart monthDayRange(const QString& dateColumn, const QString& from, const QString& to)
{
    const QString md = QStringLiteral("substr(") + dateColumn + QStringLiteral(", 6)");
    if (from <= to)
        return {md + QStringLiteral(" BETWEEN ? AND ?"), {from, to}};
    return {QStringLiteral("(") + md + QStringLiteral(" BETWEEN ? AND '12-31' OR ") + md
                + QStringLiteral(" BETWEEN '01-01' AND ?)"),
            {from, to}};
}

SqlPart MakeAnniversaryWhere(const QString& dateColumn, const QString& lunarColumn,
                             const QString& start, const QString& end)
{
    const QString lunarStart = ConvertAnniversary(start, true);
    const QString lunarEnd = ConvertAnniversary(end, true);
    const bool lunarOk = !lunarStart.isEmpty() && !lunarEnd.isEmpty();
    const QString thisYear = QString::number(Clock::today().year());

    SqlPart part;
    if (start.left(4) == thisYear) {
        // Twelve months or more hold every month-day, solar and lunar; comparing the ends'
        // month-days would collapse the range (lunar 11-13 .. 11-23 for a whole year).
        const QDate from = QDate::fromString(start, QStringLiteral("yyyy-MM-dd"));
        const QDate to = QDate::fromString(end, QStringLiteral("yyyy-MM-dd"));
        if (from.isValid() && to.isValid() && from.addYears(1).addDays(-1) <= to) {
            part.sql = QStringLiteral(" (") + lunarColumn + QStringLiteral(" IN (0, 1) AND ") + dateColumn
                       + QStringLiteral(" <> '')");
            return part;
        }
        part.sql = QStringLiteral(" (") + lunarColumn + QStringLiteral(" = 0 AND ");
        part += monthDayRange(dateColumn, start.right(5), end.right(5));
        part.sql += QStringLiteral(") OR (") + lunarColumn + QStringLiteral(" = 1 AND ");
        if (lunarOk)
            part += monthDayRange(dateColumn, lunarStart.right(5), lunarEnd.right(5));
        else
            part.sql += QStringLiteral("1 = 0");
        part.sql += QStringLiteral(")");
        return part;
    }
    part.sql = QStringLiteral("(") + lunarColumn + QStringLiteral(" = 0 and ") + dateColumn
               + QStringLiteral(" BETWEEN ? AND ?) OR (") + lunarColumn + QStringLiteral(" = 1 and ");
    part.params = {start, end};
    if (lunarOk) {
        part.sql += dateColumn + QStringLiteral(" BETWEEN ? AND ?)");
        part.params << lunarStart << lunarEnd;
    } else {
        part.sql += QStringLiteral("1 = 0)");
    }
    return part;
}

SqlPart MemberAnniversaryCondition(const MemberSearchInput& in)
{
    if (in.dateKind == DateBirth)
        return MakeAnniversaryWhere(QStringLiteral("barthday"), QStringLiteral("lunarbarth"), in.start, in.end);
    if (in.dateKind == DateMarry)
        return MakeAnniversaryWhere(QStringLiteral("marryday"), QStringLiteral("lunarmarry"), in.start, in.end);
    if (in.dateKind == DateOther)
        return MakeAnniversaryWhere(QStringLiteral("ectday"), QStringLiteral("lunarect"), in.start, in.end);
    if (in.dateKind == DateJoined)
        return {QStringLiteral("insertday BETWEEN ? AND ?"), {in.start, in.end}};
    if (in.dateKind == DateModified)
        return {QStringLiteral("finalday BETWEEN ? AND ?"), {in.start, in.end}};
    return noCondition();
}

// column LIKE '%T%' for each column, joined by OR; the text matched literally.
static SqlPart containsAny(const QStringList& columns, const QString& text)
{
    SqlPart part;
    const QString pattern = LikeContains(text);
    for (const QString& column : columns) {
        if (!part.sql.isEmpty())
            part.sql += QStringLiteral(" OR ");
        part.sql += column + QStringLiteral(" LIKE ?") + LikeEscape();
        part.params << pattern;
    }
    return part;
}

static const QStringList& phoneColumns()
{
    static const QStringList columns = {
        QStringLiteral("f.hpline"), QStringLiteral("f.finalline"), QStringLiteral("f.keyline"),
        QStringLiteral("f.faxline"), QStringLiteral("f.hline1"), QStringLiteral("f.hline2"),
        QStringLiteral("f.hline3")};
    return columns;
}

// A search text without control characters: a NUL or line break typed or pasted into the
// search box would otherwise cut or change the pattern (a NUL matched every row).
static QString searchText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text)
        if (ch.category() != QChar::Other_Control)
            out += ch;
    return out;
}

SqlPart MemberFieldCondition(const MemberSearchInput& in)
{
    const QString t = searchText(in.text);
    if (in.menu == MenuAll) {
        if (t.isEmpty())
            return noCondition();
        QStringList columns = {QStringLiteral("f.sname")};
        columns += phoneColumns();
        columns += {QStringLiteral("f.homeadd"), QStringLiteral("f.homeadd2"), QStringLiteral("f.comadd"),
                    QStringLiteral("f.comadd2"), QStringLiteral("f.smemo")};
        SqlPart part = containsAny(columns, t);
        part.sql += QStringLiteral(" OR f.abo LIKE ?") + LikeEscape() + QStringLiteral(" OR f.codeno = ?");
        part.params << LikeLiteral(t) << t;
        return part;
    }
    if (in.menu == MenuName)
        return containsAny({QStringLiteral("f.sname")}, t);
    if (in.menu == MenuGroup)
        return {QStringLiteral("ctblgroup = ?"), {in.groupCode}};
    if (in.menu == MenuPhone)
        return containsAny(phoneColumns(), t);
    if (in.menu == MenuAddress)
        return containsAny({QStringLiteral("f.homeadd"), QStringLiteral("f.homeadd2"),
                            QStringLiteral("f.comadd"), QStringLiteral("f.comadd2")},
                           t);
    if (in.menu == MenuMemo)
        return containsAny({QStringLiteral("f.smemo")}, t);
    if (in.menu == MenuBlood)
        return {QStringLiteral("f.abo = ?"), {in.choice}};
    if (in.menu == MenuSex)
        return {QStringLiteral("f.male = ?"), {in.choice}};
    if (in.menu == MenuMarried)
        return {QStringLiteral("f.marryox = ") + (in.choice == QStringLiteral("미혼") ? QStringLiteral("0") : QStringLiteral("1")), {}};
    if (in.menu == MenuCodeNo) {
        if (t.isEmpty())
            return noCondition();
        return {QStringLiteral("f.codeno = ?"), {t}};
    }
    for (int k = 0; k < in.userFieldNames.size() && k < 18; ++k) {
        if (!in.userFieldNames.at(k).isEmpty() && in.userFieldNames.at(k) == in.menu)
            return containsAny({QStringLiteral("f.") + UserFieldColumn(k)}, t);
    }
    return noCondition();
}

SqlPart MemberSearchSelect(const MemberSearchInput& in)
{
    SqlPart part;
    part.sql = QStringLiteral(
        "SELECT f.code, f.sname, g.gname, hpline, hline1, barthday, f.smemo, mail , idno ,male "
        " , f.homeadd, f.homeadd2, f.hzipno ,homepi, faxline ,insertday, marryox, marryday,hline2 "
        " , ectday,feestart ,relation, abo, f.ctblgroup ");
    for (int i : in.userColumns) {
        if (i >= 0 && i < 18)
            part.sql += QStringLiteral(", f.") + UserFieldColumn(i);
    }
    // Member codes count up from 2 (code 1 is the fixed row), so "> 1" leaves out the same
    // row as "<> 1" and also gives the engine a code range to read the table by.
    // A member whose group row is missing is still listed, with an empty group.
    part.sql += QStringLiteral(" FROM tblfriend AS f LEFT JOIN tblgroup AS g ON f.ctblgroup = g.code"
                               " WHERE f.code > 1");
    part.sql += in.hidden ? QStringLiteral(" AND f.hidden = 1") : QStringLiteral(" AND f.hidden = 0 ");
    part.sql += QStringLiteral(" AND (");
    part += MemberAnniversaryCondition(in);
    part.sql += QStringLiteral(") AND (");
    part += MemberFieldCondition(in);
    part.sql += QStringLiteral(")");
    return part;
}

QStringList MemberSearchOrder(const MemberSearchInput& in)
{
    // Ordering by the plain group column makes the engine walk the members through the
    // group index, one table look-up each. That suits the whole active list, which needs
    // nearly every row anyway, and one group, which the index finds directly; any other
    // search reads the table straight through and sorts the few rows it finds ("+ 0"
    // keeps the index from serving the order).
    const QString none = noCondition().sql;
    const bool noDate = MemberAnniversaryCondition(in).sql == none;
    const bool wholeList = !in.hidden && noDate && MemberFieldCondition(in).sql == none;
    const bool oneGroup = in.menu == MenuGroup && noDate;
    return {wholeList || oneGroup ? QStringLiteral("f.ctblgroup") : QStringLiteral("f.ctblgroup + 0"),
            QStringLiteral("f.code")};
}

SqlPart MemberSearchSql(const MemberSearchInput& in)
{
    SqlPart part = MemberSearchSelect(in);
    part.sql += QStringLiteral(" ORDER BY ") + MemberSearchOrder(in).join(QStringLiteral(", "));
    return part;
}
