#include "app/ServerConnect.h"

#include "core/AppState.h"
#include "core/Log.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

const QString SecDb = QStringLiteral("Database");
const QString KeyEngine = QStringLiteral("Engine");
const QString KeyHost = QStringLiteral("Host");
const QString KeyPort = QStringLiteral("Port");
const QString KeyName = QStringLiteral("Name");
const QString KeyUser = QStringLiteral("User");

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

const int kNotOurs = 26; // the engine's code for "not a MemberDesk database"

} // namespace

QString DatabaseSwitch() {
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--database") && i + 1 < args.size()) return args[i + 1];
        if (args[i].startsWith(QLatin1String("--database="))) return args[i].mid(11);
    }
    return {};
}

bool ServerEngineChosen() {
    const QString sw = DatabaseSwitch();
    if (!sw.isEmpty()) return IsServerLocation(sw);
    return Settings::get(SecDb, KeyEngine).trimmed().compare(QLatin1String("postgresql"), Qt::CaseInsensitive) == 0;
}

QString ServerPasswordFile() {
    return Settings::configDir() + u'/' + App().appTitle + QStringLiteral(".pgpass");
}

QString ServerLocation() {
    const QString sw = DatabaseSwitch();
    if (IsServerLocation(sw)) return sw;
    QStringList parts;
    parts << QStringLiteral("host=") + quoted(Settings::get(App().appTitle, SecDb, KeyHost, QStringLiteral("localhost")));
    parts << QStringLiteral("port=") + quoted(Settings::get(App().appTitle, SecDb, KeyPort, QStringLiteral("5432")));
    parts << QStringLiteral("dbname=") + quoted(Settings::get(App().appTitle, SecDb, KeyName, QStringLiteral("memberdesk")));
    const QString user = Settings::get(SecDb, KeyUser);
    if (!user.isEmpty()) parts << QStringLiteral("user=") + quoted(user);
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

namespace {

// Asks for each connection setting in turn; false when the user cancels.
bool changeSettings() {
    struct Field {
        QString key;
        QString label;
        QString fallback;
    };
    const Field fields[] = {
        {KeyHost, QStringLiteral("서버 주소 (컴퓨터 이름 또는 IP):"), QStringLiteral("localhost")},
        {KeyPort, QStringLiteral("포트:"), QStringLiteral("5432")},
        {KeyName, QStringLiteral("데이터베이스 이름:"), QStringLiteral("memberdesk")},
        {KeyUser, QStringLiteral("사용자 이름:"), QString()},
    };
    const QString title = QStringLiteral("데이터베이스 서버 설정");
    for (const Field& f : fields) {
        const auto v = InputBox(f.label, title, Settings::get(App().appTitle, SecDb, f.key, f.fallback));
        if (!v) return false;
        Settings::set(SecDb, f.key, v->trimmed());
    }
    Settings::set(SecDb, KeyEngine, QStringLiteral("postgresql"));
    // Left empty (or cancelled), the stored password stays.
    const auto password = InputBox(QStringLiteral("비밀번호 (바꾸지 않으려면 비워 두세요):"), title);
    if (password && !password->isEmpty() &&
        !SaveServerPassword(Settings::get(SecDb, KeyName), Settings::get(SecDb, KeyUser), *password)) {
        MsgInfo(QStringLiteral("비밀번호 파일을 쓸 수 없습니다.") + u'\n' + ServerPasswordFile());
        return false;
    }
    return true;
}

} // namespace

bool OpenServerDatabase() {
    for (;;) {
        const QString location = ServerLocation();
        if (OpenDatabase(location)) {
            App().dbFile = location;
            return true;
        }
        qCInfo(lcStartup, "server database not opened: %s", qPrintable(LastDbError()));
        if (LastDbErrorCode() == kNotOurs) {
            // An empty database gets the tables; another program's database is left alone.
            if (AskYesNo(QStringLiteral("서버의 데이터베이스에 MemberDesk 자료가 없습니다.") + u'\n' +
                             QStringLiteral("새 MemberDesk 데이터베이스를 만드시겠습니까?"),
                         QStringLiteral("데이터베이스 서버"), false)) {
                QString error;
                if (CreateNewDatabase(location, &error)) continue;
                MsgInfo(QStringLiteral("서버의 데이터베이스에 다른 자료가 있어 MemberDesk 데이터베이스를 만들 수 "
                                       "없습니다.") +
                            u'\n' + error,
                        QStringLiteral("데이터베이스 서버"));
            }
        }
        const Prompt::Answer a = AskYesNoCancel(
            QStringLiteral("데이터베이스 서버에 연결하지 못했습니다.") + QStringLiteral("\n\n") + LastDbError() +
                QStringLiteral("\n\n") + QStringLiteral("예: 다시 연결합니다.") + u'\n' +
                QStringLiteral("아니오: 연결 설정을 바꿉니다.") + u'\n' + QStringLiteral("취소: 프로그램을 종료합니다."),
            QStringLiteral("데이터베이스 서버"), Prompt::Answer::Yes);
        if (a == Prompt::Answer::Yes) continue;
        if (a == Prompt::Answer::No && changeSettings()) continue;
        if (a == Prompt::Answer::No) continue; // settings left as they were: ask again
        return false;
    }
}
