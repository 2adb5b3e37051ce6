#include "app/LoginUser.h"

#include "core/AppState.h"
#include "core/PrivateData.h"
#include "db/Database.h"


QString LoginPassword(const QString& loginId) {
    return GetScalar(QStringLiteral("SELECT loginpwd FROM local_user WHERE UCASE(loginid) = ?"),
                     {loginId.toUpper()})
        .toString();
}

bool LoginMatches(const QString& loginId, const QString& password, bool* failed) {
    const QVariant stored = GetScalar(QStringLiteral("SELECT loginpwd FROM local_user WHERE UCASE(loginid) = ?"),
                                      {loginId.toUpper()});
    if (failed) *failed = LastStatementFailed();
    return stored.isValid() && !stored.isNull() && PasswordMatches(stored.toString(), password);
}

bool GetLoginUserInfo(const QString& loginId) {
    App().loginId = loginId;
    App().userName.clear();
    App().userCode = QStringLiteral("00");
    App().ownerCode = 1;
    Recordset rs;
    if (OpenRecordset(rs,
                      QStringLiteral("SELECT loginid, name, loginpwd FROM local_user"
                                     " WHERE code = '00' AND UCASE(loginid) = ?"),
                      {loginId.toUpper()}) <= 0)
        return false;
    App().userName = rs.text(QStringLiteral("name"));
    return true;
}

QString LocalUserName() {
    return GetScalar(QStringLiteral("SELECT name FROM local_user WHERE code = '00'")).toString();
}

bool LocalPasswordMatches(const QString& password) {
    const QVariant stored = GetScalar(QStringLiteral("SELECT loginpwd FROM local_user WHERE code = '00'"));
    return stored.isValid() && PasswordMatches(stored.toString(), password);
}

bool UpdateLocalUser(const QString& newPassword, const QString& name) {
    const QString stored = HashPassword(newPassword);
    if (!newPassword.isEmpty() && stored.isEmpty()) return false;
    return ExecSQL(QStringLiteral("UPDATE local_user SET loginpwd = ?, name = ? WHERE code = '00'"),
                   {stored, name}) > 0;
}
