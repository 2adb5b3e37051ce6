#include "members/MemberStore.h"

#include "core/Clock.h"
#include "core/PrivateData.h"
#include "calendar/Convlunar.h"
#include "db/Database.h"
#include "core/Prompt.h"

#include <QDate>

const QStringList& MemberColumns()
{
    static const QStringList columns = [] {
        QStringList c = {
            "sname",    "ctblgroup", "idno",      "male",       "hpline",    "hline1",
            "hline2",   "hline3",    "finalline", "keyline",    "inline",    "faxline",
            "relation", "mail",      "homepi",    "hzipno",     "homeadd",   "homeadd2",
            "picture",  "insertday", "finalday",  "codeno",     "barthday",  "lunarbarth",
            "marryox",  "marryday",  "lunarmarry", "ectday",    "lunarect",  "abo",
            "spart",    "sgrade",    "sposition", "czipno",     "comadd",    "comadd2",
            "mail2",    "homepi2",   "smemo",     "comname",    "feestart",  "hidden"};
        for (int i = 1; i <= 18; ++i)
            c << QStringLiteral("userfieldnote") + QString::number(i);
        return c;
    }();
    return columns;
}

bool IsMemberNumberColumn(const QString& column)
{
    static const QStringList numbers = {"ctblgroup", "lunarbarth", "marryox",
                                        "lunarmarry", "lunarect",  "hidden"};
    return numbers.contains(column);
}

static QVariant boundValue(const QString& column, const MemberValues& values)
{
    const QVariant v = values.value(column);
    // A resident number is only ever stored sealed; without the data key none is stored.
    if (column == QLatin1String("idno")) {
        const QString t = v.toString();
        if (t.isEmpty() || IsEncryptedIdNo(t))
            return t;
        const QString sealed = EncryptIdNo(t);
        return sealed.isNull() ? QString() : sealed;
    }
    if (IsMemberNumberColumn(column)) {
        const int fallback = column == QStringLiteral("ctblgroup") ? 1 : 0;
        return v.isValid() && !v.toString().isEmpty() ? v.toInt() : fallback;
    }
    return v.toString();
}

MemberValues StoredMemberValues(const MemberValues& values)
{
    MemberValues out;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        out.insert(it.key(), boundValue(it.key(), values));
    return out;
}

int SaveMember(int code, const MemberValues& values, int* newCode)
{
    MemberValues v = values;
    v.insert(QStringLiteral("finalday"), Clock::today().toString(QStringLiteral("yyyy-MM-dd")));
    QVariantList params;
    QString sql;
    if (code > 0) {
        sql = QStringLiteral("UPDATE tblfriend SET ");
        bool first = true;
        for (const QString& column : MemberColumns()) {
            if (!first)
                sql += QStringLiteral(", ");
            first = false;
            sql += column + QStringLiteral(" = ?");
            params << boundValue(column, v);
        }
        sql += QStringLiteral(" WHERE code = ?");
        params << code;
        return ExecSQL(sql, params);
    }
    QStringList marks;
    for (const QString& column : MemberColumns()) {
        marks << QStringLiteral("?");
        params << boundValue(column, v);
    }
    sql = QStringLiteral("INSERT INTO tblfriend (") + MemberColumns().join(QStringLiteral(", "))
          + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + QStringLiteral(")");
    const int n = ExecSQL(sql, params);
    if (n > 0 && newCode)
        *newCode = LastIdentity();
    return n;
}

int SaveNewMember(const MemberValues& values, bool autoCodeNo, int* newCode, QString* codeNo)
{
    Transaction t;
    if (!t.ok())
        return 0;
    MemberValues v = values;
    if (autoCodeNo) {
        const QString next = NextSerialCode(QStringLiteral("tblfriend"), QStringLiteral("codeno"), 6);
        v.insert(QStringLiteral("codeno"), next);
        if (codeNo)
            *codeNo = next;
    }
    int code = 0;
    const int rows = SaveMember(0, v, &code);
    if (rows <= 0 || !t.commit())
        return 0;
    if (newCode)
        *newCode = code;
    return rows;
}

MemberValues LoadMember(int code)
{
    MemberValues values;
    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT * FROM tblfriend WHERE code = ?"), {code}) <= 0)
        return values;
    rs.moveFirst();
    for (int i = 0; i < rs.fieldCount(); ++i)
        values.insert(rs.fieldName(i).toLower(), rs.value(i));
    return values;
}

bool MemberWorkFieldsEmpty(int code)
{
    const QVariant n = GetScalar(QStringLiteral(
        "SELECT COUNT(sname) FROM tblfriend WHERE code = ? AND finalline = '' AND keyline = ''"
        " AND faxline = '' AND spart = '' AND sgrade = '' AND sposition = ''"
        " AND czipno = '' AND comadd = '' AND comadd2 = '' AND mail2 = ''"
        " AND homepi2 = '' AND comname = ''"), {code});
    return n.toInt() == 1;
}

static const QString kDeleteQuestion = QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?");

static bool memberHasTrades(int code)
{
    return IsCodeInUse(QStringLiteral("tbltrade"), QStringLiteral("ctblfriend"), QString::number(code),
                       false, QStringLiteral("회원거래"), true);
}

static bool deleteMemberRow(int code)
{
    if (ExecSQL(QStringLiteral("DELETE FROM tblfriend where code = ?"), {code}) > 0)
        return true;
    MsgWarning(QStringLiteral("코드[") + QString::number(code) + QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
    return false;
}

QList<int> DeleteCheckedMembers(const QList<int>& codes)
{
    QList<int> deleted;
    if (codes.isEmpty() || !AskYesNo(kDeleteQuestion, QStringLiteral("삭제"), false))
        return deleted;
    for (int code : codes) {
        if (code <= 1 || memberHasTrades(code))
            continue;
        if (deleteMemberRow(code))
            deleted << code;
    }
    return deleted;
}

bool DeleteOneMember(int code)
{
    if (code <= 1) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return false;
    }
    if (memberHasTrades(code))
        return false;
    if (!AskYesNo(kDeleteQuestion, QStringLiteral("삭제"), false))
        return false;
    return deleteMemberRow(code);
}

QList<QPair<int, QString>> GroupNames(bool withDefault)
{
    QList<QPair<int, QString>> groups;
    Recordset rs;
    const QString sql = withDefault
        ? QStringLiteral("SELECT code, gname FROM tblgroup ORDER BY code")
        : QStringLiteral("SELECT code, gname FROM tblgroup WHERE code <> 1 ORDER BY code");
    if (OpenRecordset(rs, sql) <= 0)
        return groups;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        groups.append({rs.integer(QStringLiteral("code")), rs.text(QStringLiteral("gname")).trimmed()});
    return groups;
}

QList<MemberNode> GroupMembers(int groupCode)
{
    QList<MemberNode> members;
    Recordset rs;
    // The default group also holds the members whose group row is missing, so that no
    // member vanishes from the tree.
    const QString sql = groupCode == 1
        ? QStringLiteral("SELECT ctblgroup, sname, code, male FROM tblfriend WHERE code <> 1 AND"
                         " (ctblgroup = 1 OR ctblgroup NOT IN (SELECT code FROM tblgroup)) ORDER BY code")
        : QStringLiteral("SELECT ctblgroup, sname, code, male FROM tblfriend"
                         " WHERE code <> 1 AND ctblgroup = ? ORDER BY code");
    if (OpenRecordset(rs, sql, groupCode == 1 ? QVariantList{} : QVariantList{groupCode}) <= 0)
        return members;
    members.reserve(rs.recordCount());
    for (int r = 0; r < rs.recordCount(); ++r) {
        const auto& row = rs.row(r);
        members.append({row.at(2).toInt(), row.at(1).toString(), row.at(3).toString()});
    }
    return members;
}

bool MoveGroupMembers(int fromGroup, int toGroup)
{
    if (toGroup <= 0)
        return false;
    // A group without members moves nothing and is no failure. The fixed member row stays
    // where it is.
    const int members = CountRows(QStringLiteral("tblfriend"), QStringLiteral("ctblgroup = ? AND code <> 1"), {fromGroup});
    if (members < 0)
        return false;
    if (members == 0)
        return true;
    return ExecSQL(QStringLiteral("UPDATE tblfriend SET ctblgroup = ? WHERE ctblgroup = ? AND code <> 1"),
                   {toGroup, fromGroup}) > 0;
}

bool MoveMember(int memberCode, int toGroup)
{
    if (toGroup <= 0 || memberCode <= 1)
        return false;
    return ExecSQL(QStringLiteral("UPDATE tblfriend SET ctblgroup = ? WHERE code = ?"),
                   {toGroup, memberCode}) > 0;
}

bool RenameMember(int memberCode, const QString& name)
{
    if (memberCode <= 1)
        return false;
    return ExecSQL(QStringLiteral("UPDATE tblfriend SET sname = ? WHERE code = ?"), {name, memberCode}) > 0;
}

bool RenameGroup(int groupCode, const QString& name)
{
    if (groupCode == 1) {
        MsgInfo(QStringLiteral("[기본그룹]은 수정할수 없습니다."));
        return false;
    }
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return false;
    const int same = CountRows(QStringLiteral("tblgroup"), QStringLiteral("gname = ? AND code <> ?"), {trimmed, groupCode});
    if (same < 0) // the failed check was reported
        return false;
    if (same > 0) {
        MsgInfo(QStringLiteral("[") + trimmed + QStringLiteral("]은 이미 등록된 그룹명입니다."));
        return false;
    }
    return ExecSQL(QStringLiteral("UPDATE tblgroup SET gname = ? WHERE code = ?"), {trimmed, groupCode}) > 0;
}

QString SolarDateThisYear(const QString& lunarDate)
{
    return SolarOfThisYear(lunarDate);
}

QString AnniversaryDisplay(const QString& storedDate, bool lunar)
{
    if (!lunar || storedDate.trimmed().isEmpty())
        return storedDate;
    const QString solar = SolarDateThisYear(storedDate);
    if (solar.isEmpty())
        return storedDate;
    return storedDate + QStringLiteral(" 올해 양력  :  ") + solar;
}

MemberDetail LoadMemberDetail(int code)
{
    MemberDetail d;
    if (code <= 1)
        return d;
    d.values = LoadMember(code);
    if (d.values.isEmpty())
        return d;
    d.found = true;
    auto text = [&](const char* column) { return d.values.value(QString::fromLatin1(column)).toString(); };
    d.groupName = GroupNameByCode(d.values.value(QStringLiteral("ctblgroup")).toInt()).trimmed();
    d.birthday = AnniversaryDisplay(text("barthday"), d.values.value(QStringLiteral("lunarbarth")).toInt() != 0);
    d.marryday = AnniversaryDisplay(text("marryday"), d.values.value(QStringLiteral("lunarmarry")).toInt() != 0);
    d.ectday = text("ectday");
    d.marriedText = d.values.value(QStringLiteral("marryox")).toInt() == 0 ? QStringLiteral("미혼") : QStringLiteral("기혼");
    d.phoneWork = text("finalline");
    if (!text("inline").isEmpty())
        d.phoneWork += QStringLiteral(", ") + text("inline");

    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT SUM(lstackpoint) AS tst, SUM(lpoint) AS tlp FROM tbltrade WHERE ctblfriend = ?"),
                      {code}) > 0) {
        rs.moveFirst();
        d.accumulatedPoints = qint64(rs.number(QStringLiteral("tst")));
        d.usedPoints = qint64(rs.number(QStringLiteral("tlp")));
    }
    // lpoint is what a trade spent, so the points still available are earned minus spent.
    d.availablePoints = d.accumulatedPoints - d.usedPoints;
    return d;
}
