#include "core/AppState.h"
#include "core/BuildInfo.h"
#include "app/Desktop.h"
#include "app/FrmLogin.h"
#include "app/Startup.h"
#include "db/Database.h"
#include "ui/QtPrompt.h"
#include "app/MemberCommands.h"
#include "app/SalesCommands.h"
#include "app/MoneyBookCommands.h"
#include "app/ToolCommands.h"
#include "app/CommCommands.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// memberdesk --copy-database FROM TO: copies a whole database (a file path or a server's
// postgresql://... / key=value location) into a new or empty one and checks the copy.
int copyDatabaseCommand(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: memberdesk --copy-database FROM TO\n");
        return 2;
    }
    QStringList report;
    QString error;
    const bool ok = CopyDatabase(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), &report, &error);
    for (const QString& line : report) std::printf("%s\n", line.toUtf8().constData());
    if (!ok) std::fprintf(stderr, "%s\n", error.toUtf8().constData());
    else {
        std::printf("%s\n", QStringLiteral("복사가 끝났습니다. 건수와 금액 합계가 원본과 같습니다.").toUtf8().constData());
        // The copy holds the resident numbers sealed; the key that opens them is a file of
        // its own and must go along.
        std::printf("%s\n", QStringLiteral("주민번호는 암호키로 잠겨 있습니다. 원본 데이터베이스 폴더 옆의 암호키 파일"
                                            "(예: DBS.key)도 새 데이터베이스를 쓰는 PC로 옮기세요. 데이터베이스 서버는 "
                                            "네트워크 설정 창의 [암호키 가져오기]로 가져옵니다.")
                                 .toUtf8().constData());
    }
    return ok ? 0 : 1;
}

// The options, as the man page memberdesk.1 lists them too.
const char* const kUsage =
    "사용법: memberdesk [--database 위치]\n"
    "        memberdesk --copy-database 원본 대상\n"
    "        memberdesk --help | --version\n"
    "\n"
    "회원과 그룹 회비, 회원거래, 입출금 장부를 관리합니다.\n"
    "\n"
    "  --database 위치\n"
    "      이번 실행에 쓸 데이터베이스: 파일 경로, postgresql:// 주소 또는\n"
    "      key=value 접속 정보. 설정에 저장된 데이터베이스는 바뀌지 않습니다.\n"
    "  --copy-database 원본 대상\n"
    "      데이터베이스 전체를 새 데이터베이스나 빈 데이터베이스로 복사하고\n"
    "      건수와 금액 합계를 원본과 비교합니다. 창을 열지 않습니다.\n"
    "  --help\n"
    "      이 도움말을 보이고 끝냅니다.\n"
    "  --version\n"
    "      버전을 보이고 끝냅니다.\n"
    "\n"
    "환경 변수:\n"
    "  MEMBERDESK_HOME  데이터 폴더 (기본값 ~/.local/share/MemberDesk)\n";

// --help and --version answer before anything else, so they touch no folder or setting.
// Returns the exit code, or -1 to start normally.
int infoOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--copy-database") == 0) break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("memberdesk %s\n", kVersionText);
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (const int rc = infoOption(argc, argv); rc >= 0) return rc;
    if (argc > 1 && std::strcmp(argv[1], "--copy-database") == 0) return copyDatabaseCommand(argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("MemberDesk"));
    QCoreApplication::setOrganizationName(QStringLiteral("MemberDesk"));
    // Korean texts and Qt dialogs whatever LANG says; the font, the icon, the version.
    const bool qtKorean = SetUpDesktop();

    // An unattended check run logs its messages instead of waiting on dialogs.
    const bool probe = StartupProbeRequested();
    if (!probe) setPrompt(std::make_unique<QtPrompt>());
    ResetAppState(DefaultDataDir());
    // Holds the single-copy lock until the program ends.
    Startup startup;
    if (!startup.run()) return 1;

    // Each subsystem enables the main-menu commands whose windows it provides.
    RegisterMemberCommands();
    RegisterSalesCommands();
    RegisterMoneyBookCommands();
    RegisterToolCommands();
    RegisterCommCommands();

    auto* login = new FrmLogin;
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    if (probe) WatchStartupProbe(login, qtKorean);
    const int rc = app.exec();
    if (IsDatabaseOpen()) DBTerminate();
    return rc;
}
