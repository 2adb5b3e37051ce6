#include "app/LoginUser.h"

#include "core/AppState.h"
#include "core/PrivateData.h"
#include "db/Database.h"

#include <QByteArray>

namespace {

// XOR over the UTF-8 bytes with a fixed key, then base64; a marker in front lets
// DecodeStr refuse values it did not write.
const QByteArray& encodingKey() {
    static const QByteArray key = QByteArrayLiteral("MemberDesk#4182:local-user");
    return key;
}
constexpr char Marker = '~';

QByteArray xorWithKey(QByteArray bytes) {
    const QByteArray& key = encodingKey();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(bytes[i] ^ key[i % key.size()] ^ char(i * 31));
    return bytes;
}

} // namespace

QString EncodeStr(const QString& text) {
    if (text.isEmpty()) return {};
    return QChar::fromLatin1(Marker) + QString::fromLatin1(xorWithKey(text.toUtf8()).toBase64());
}

QString DecodeStr(const QString& encoded) {
    if (encoded.size() < 2 || encoded.at(0) != QChar::fromLatin1(Marker)) return {};
    const auto decoded = QByteArray::fromBase64Encoding(encoded.mid(1).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return {};
    return QString::fromUtf8(xorWithKey(*decoded));
}

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
