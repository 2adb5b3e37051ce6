#include "core/AppState.h"
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

} // namespace

int main(int argc, char** argv) {
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
