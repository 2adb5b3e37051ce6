#include "db/ServerSettings.h"

#include "core/AppState.h"
#include "core/Settings.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

const QString SecDb = QStringLiteral("Database");
const QString KeyEngine = QStringLiteral("Engine");
const QString KeyHost = QStringLiteral("Host");
const QString KeyPort = QStringLiteral("Port");
const QString KeyName = QStringLiteral("Name");
const QString KeyUser = QStringLiteral("User");
const QString EngineServer = QStringLiteral("postgresql");

// A value of key=value connection text, quoted so blanks, quotes and backslashes stay.
QString quoted(const QString& v) {
    QString out = v;
    out.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + out + u'\'';
}

// One field of a password-file line: ':' and '\' are escaped.
QString passField(const QString& v) {
    QString out = v;
    out.replace(u'\\', QStringLiteral("\\\\")).replace(u':', QStringLiteral("\\:"));
    return out;
}

} // namespace

ServerSettings LoadServerSettings() {
    const QString app = App().appTitle;
    return {Settings::getIn(app, SecDb, KeyHost, QStringLiteral("localhost")),
            Settings::getIn(app, SecDb, KeyPort, QStringLiteral("5432")),
            Settings::getIn(app, SecDb, KeyName, QStringLiteral("memberdesk")), Settings::getIn(app, SecDb, KeyUser, {})};
}

void SaveServerSettings(const ServerSettings& s) {
    Settings::set(SecDb, KeyHost, s.host.trimmed());
    Settings::set(SecDb, KeyPort, s.port.trimmed());
    Settings::set(SecDb, KeyName, s.name.trimmed());
    Settings::set(SecDb, KeyUser, s.user.trimmed());
    Settings::set(SecDb, KeyEngine, EngineServer);
}

void ChooseFileEngine() {
    if (Settings::contains(App().appTitle, SecDb, KeyEngine)) Settings::set(SecDb, KeyEngine, QStringLiteral("sqlite"));
}

bool ServerEngineInSettings() {
    return Settings::get(SecDb, KeyEngine).trimmed().compare(EngineServer, Qt::CaseInsensitive) == 0;
}

QString ServerPasswordFile() {
    return Settings::configDir() + u'/' + App().appTitle + QStringLiteral(".pgpass");
}

QString ServerLocationFor(const ServerSettings& s) {
    QStringList parts;
    parts << QStringLiteral("host=") + quoted(s.host.trimmed());
    parts << QStringLiteral("port=") + quoted(s.port.trimmed());
    parts << QStringLiteral("dbname=") + quoted(s.name.trimmed());
    if (!s.user.trimmed().isEmpty()) parts << QStringLiteral("user=") + quoted(s.user.trimmed());
    const QString pass = ServerPasswordFile();
    if (QFileInfo::exists(pass)) {
        // libpq ignores a password file others can read; it is made private again.
        QFile::setPermissions(pass, QFile::ReadOwner | QFile::WriteOwner);
        parts << QStringLiteral("passfile=") + quoted(pass);
    }
    return parts.join(u' ');
}

bool SaveServerPassword(const QString& name, const QString& user, const QString& password) {
    const QString path = ServerPasswordFile();
    QFile f(path);
    // Created empty and private first, then filled, so the password is never readable by others.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    if (!f.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) return false;
    const QString line = QStringLiteral("*:*:") + passField(name) + u':' + passField(user) + u':' +
                         passField(password) + u'\n';
    return f.write(line.toUtf8()) > 0 && f.flush();
}
