#include "members/UserFields.h"

#include "db/Database.h"

QString UserFieldOptionName(int index0)
{
    return QStringLiteral("userfieldname_") + QString::number(index0);
}

QStringList LoadUserFieldNames()
{
    QStringList names;
    for (int i = 0; i < UserFieldCount; ++i)
        names << QString();
    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT optname, optvalue FROM options WHERE optname LIKE 'userfieldname\\_%' ESCAPE '\\'")) <= 0)
        return names;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString name = rs.text(QStringLiteral("optname"));
        bool ok = false;
        const int k = name.mid(QStringLiteral("userfieldname_").size()).toInt(&ok);
        if (ok && k >= 0 && k < UserFieldCount)
            names[k] = rs.text(QStringLiteral("optvalue")).trimmed();
    }
    return names;
}

QString UserFieldHeading(int index0)
{
    const QString name = GetOption(UserFieldOptionName(index0), QString()).trimmed();
    return name.isEmpty() ? QStringLiteral("사용자정의") : name;
}

bool SaveUserFieldNames(const QStringList& names)
{
    const QStringList stored = LoadUserFieldNames();
    bool ok = true;
    for (int i = 0; i < UserFieldCount && i < names.size(); ++i) {
        if (names.at(i).trimmed() != stored.at(i))
            ok = SetOption(UserFieldOptionName(i), names.at(i).trimmed()) && ok;
    }
    return ok;
}

QList<int> FilledUserFields()
{
    QList<int> filled;
    // One look-up per field in its partial index of filled cells (Schema), not a pass over
    // every member. Text columns default to '', so an unused field has no such cell.
    QString sql = QStringLiteral("SELECT ");
    for (int i = 1; i <= UserFieldCount; ++i) {
        if (i > 1)
            sql += QStringLiteral(", ");
        sql += QStringLiteral("CASE WHEN EXISTS (SELECT 1 FROM tblfriend WHERE userfieldnote%1 <> '' AND code <> 1) "
                              "THEN 1 ELSE 0 END AS u%1")
                   .arg(i);
    }
    Recordset rs;
    if (OpenRecordset(rs, sql) <= 0)
        return filled;
    rs.moveFirst();
    for (int i = 0; i < UserFieldCount; ++i) {
        if (rs.value(i).toInt() == 1)
            filled << i;
    }
    return filled;
}

QList<QPair<int, QString>> PickListValues(int k)
{
    QList<QPair<int, QString>> values;
    Recordset rs;
    if (OpenRecordset(rs, QStringLiteral("SELECT code, bigo FROM tbluserfieldlist WHERE branchclass = ? ORDER BY code"), {k}) <= 0)
        return values;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        values.append({rs.integer(QStringLiteral("code")), rs.text(QStringLiteral("bigo"))});
    return values;
}

int SavePickListValue(int k, int code, const QString& value, int* newCode)
{
    if (code > 0)
        return ExecSQL(QStringLiteral("UPDATE tbluserfieldlist SET bigo = ? WHERE code = ?"), {value, code});
    const int n = ExecSQL(QStringLiteral("INSERT INTO tbluserfieldlist (branchclass, bigo) VALUES (?, ?)"), {k, value});
    if (n > 0 && newCode)
        *newCode = LastIdentity();
    return n;
}

bool DeletePickListValue(int code)
{
    return ExecSQL(QStringLiteral("DELETE FROM tbluserfieldlist WHERE code = ?"), {code}) > 0;
}
