#include "members/GroupStore.h"

#include "db/Database.h"
#include "core/Prompt.h"

static GroupRecord readGroup(const Recordset& rs)
{
    GroupRecord g;
    g.code = rs.integer(QStringLiteral("code"));
    g.name = rs.text(QStringLiteral("gname"));
    g.repeatClass = rs.text(QStringLiteral("repeatclass"));
    g.settlementDay = rs.text(QStringLiteral("settlementday"));
    g.schedule = DecodeGroupSchedule(g.repeatClass, g.settlementDay);
    g.amount = rs.number(QStringLiteral("settlementmon"));
    g.memo = rs.text(QStringLiteral("smemo"));
    return g;
}

QList<GroupRecord> LoadGroups()
{
    QList<GroupRecord> groups;
    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT gname, repeatstart, repeatclass, settlementday, settlementmon, smemo, code"
                                         " FROM tblgroup ORDER BY code")) <= 0)
        return groups;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        groups << readGroup(rs);
    return groups;
}

GroupRecord LoadGroup(int code)
{
    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT gname, repeatstart, repeatclass, settlementday, settlementmon, delaymon, smemo, code"
                                         " FROM tblgroup WHERE code = ?"), {code}) <= 0)
        return {};
    rs.moveFirst();
    return readGroup(rs);
}

QString CheckGroupSave(const GroupRecord& g)
{
    const QString problem = CheckGroupInput(g.name, g.schedule, g.amount);
    if (!problem.isEmpty())
        return problem;
    const QString name = g.name.trimmed();
    const int same = CountRows(QStringLiteral("tblgroup"), QStringLiteral("gname = ? AND code <> ?"), {name, g.code});
    if (same < 0) // the failed check was reported; the save does not go ahead
        return QStringLiteral("그룹명을 확인하지 못해 저장하지 않았습니다.");
    if (same > 0)
        return QStringLiteral("[") + name + QStringLiteral("]은 이미 등록된 그룹명입니다.");
    return {};
}

QVariantHash GroupColumnValues(const GroupRecord& g)
{
    const bool hasKind = g.schedule.kind >= GroupSchedule::Monthly;
    return {{QStringLiteral("gname"), g.name.trimmed()},
            {QStringLiteral("repeatclass"), hasKind ? EncodeRepeatClass(g.schedule) : QString()},
            {QStringLiteral("settlementday"), hasKind ? EncodeSettlementDay(g.schedule) : QString()},
            {QStringLiteral("settlementmon"), g.amount},
            {QStringLiteral("smemo"), g.memo}};
}

int SaveGroup(GroupRecord& g)
{
    const QVariantHash v = GroupColumnValues(g);
    const QString name = v.value(QStringLiteral("gname")).toString();
    const QString repeat = v.value(QStringLiteral("repeatclass")).toString();
    const QString day = v.value(QStringLiteral("settlementday")).toString();
    int n = 0;
    if (g.code > 0) {
        n = ExecSQL(QStringLiteral("UPDATE tblgroup SET gname = ?, repeatclass = ?, settlementday = ?,"
                                   " settlementmon = ?, smemo = ? WHERE code = ?"),
                    {name, repeat, day, g.amount, g.memo, g.code});
    } else {
        n = ExecSQL(QStringLiteral("INSERT INTO tblgroup (gname, repeatclass, settlementday, settlementmon, smemo)"
                                   " VALUES (?, ?, ?, ?, ?)"),
                    {name, repeat, day, g.amount, g.memo});
        if (n > 0)
            g.code = LastIdentity();
    }
    if (n > 0) {
        g.name = name;
        g.repeatClass = repeat;
        g.settlementDay = day;
    }
    return n;
}

bool GroupDeleteAllowed(int code)
{
    const QString value = QString::number(code);
    if (IsCodeInUse(QStringLiteral("tblfriend"), QStringLiteral("ctblgroup"), value, false,
                    QStringLiteral("tblfriend"), true))
        return false;
    if (IsCodeInUse(QStringLiteral("tblgroupmon"), QStringLiteral("ctblgroup"), value, false,
                    QStringLiteral("tblgroupmon"), true))
        return false;
    return true;
}

bool DeleteGroupRow(int code)
{
    if (code > 1 && ExecSQL(QStringLiteral("DELETE FROM tblgroup where code = ?"), {code}) > 0)
        return true;
    MsgWarning(QStringLiteral("코드[") + QString::number(code) + QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
    return false;
}
