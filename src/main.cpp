#include "core/AppState.h"
#include "app/FrmLogin.h"
#include "app/Startup.h"
#include "db/Database.h"
#include "ui/QtPrompt.h"
#include "app/MemberCommands.h"
#include "app/ToolCommands.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("MemberDesk"));
    QCoreApplication::setOrganizationName(QStringLiteral("MemberDesk"));
    if (QFontDatabase::families().contains(QStringLiteral("NanumBarunGothic"))) {
        QFont f(QStringLiteral("NanumBarunGothic"));
        f.setPointSize(QApplication::font().pointSize());
        QApplication::setFont(f);
    }

    setPrompt(std::make_unique<QtPrompt>());
    ResetAppState(DefaultDataDir());
    // Holds the single-copy lock until the program ends.
    Startup startup;
    if (!startup.run()) return 1;

    // Each subsystem enables the main-menu commands whose windows it provides.
    RegisterMemberCommands();
    RegisterToolCommands();

    auto* login = new FrmLogin;
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    const int rc = app.exec();
    if (IsDatabaseOpen()) DBTerminate();
    return rc;
}
