#include "app/ServerConnect.h"

#include "core/AppState.h"
#include "core/Log.h"
#include "core/Prompt.h"
#include "db/Database.h"
#include "db/ServerSettings.h"

#include <QCoreApplication>

namespace {
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
    return ServerEngineInSettings();
}

QString ServerLocation() {
    const QString sw = DatabaseSwitch();
    if (IsServerLocation(sw)) return sw;
    return ServerLocationFor(LoadServerSettings());
}

namespace {

// Asks for each connection setting in turn; false when the user cancels.
bool changeSettings() {
    ServerSettings s = LoadServerSettings();
    struct Field {
        QString* value;
        QString label;
    };
    const Field fields[] = {
        {&s.host, QStringLiteral("서버 주소 (컴퓨터 이름 또는 IP):")},
        {&s.port, QStringLiteral("포트:")},
        {&s.name, QStringLiteral("데이터베이스 이름:")},
        {&s.user, QStringLiteral("사용자 이름:")},
    };
    const QString title = QStringLiteral("데이터베이스 서버 설정");
    for (const Field& f : fields) {
        const auto v = InputBox(f.label, title, *f.value);
        if (!v) return false;
        *f.value = v->trimmed();
    }
    SaveServerSettings(s);
    // Left empty (or cancelled), the stored password stays.
    const auto password = InputBox(QStringLiteral("비밀번호 (바꾸지 않으려면 비워 두세요):"), title);
    if (password && !password->isEmpty() && !SaveServerPassword(s.name, s.user, *password)) {
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
