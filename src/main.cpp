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

int main(int argc, char** argv) {
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
