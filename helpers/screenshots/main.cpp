// Renders the program's windows into PNG files, on a demo data folder:
//   memberdesk-screenshots <output folder>
// Run with QT_QPA_PLATFORM=offscreen, MEMBERDESK_HOME and XDG_CONFIG_HOME pointing at
// empty temporary folders (scripts/screenshots.sh does this).
#include "core/AppState.h"
#include "app/FrmLogin.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "app/frmOption.h"
#include "db/Database.h"
#include "app/CommCommands.h"
#include "app/MemberCommands.h"
#include "app/MoneyBookCommands.h"
#include "app/SalesCommands.h"
#include "app/ToolCommands.h"
#include "core/Launcher.h"
#include "core/Prompt.h"
#include "tools/frmZipcode.h"
#include "ui/WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QFontDatabase>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {
void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

bool save(QWidget* w, const QString& dir, const char* name) {
    settle();
    const QString path = dir + u'/' + QString::fromLatin1(name);
    const bool ok = w->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// The frame with one of its menus drawn open below the menu bar.
bool saveWithMenu(QMainWindow* frame, const QString& menuName, const QString& dir,
                  const char* name) {
    auto* menu = frame->findChild<QMenu*>(menuName);
    if (!menu) return false;
    settle();
    QPixmap shot = frame->grab();
    const QRect item = frame->menuBar()->actionGeometry(menu->menuAction());
    const QPoint at = frame->menuBar()->mapTo(frame, item.bottomLeft());
    menu->ensurePolished();
    menu->adjustSize();
    const QPixmap drop = menu->grab();
    QPainter p(&shot);
    p.drawPixmap(at, drop);
    p.end();
    const QString path = dir + u'/' + QString::fromLatin1(name);
    const bool ok = shot.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}
// Chooses a menu command and saves what it shows: a modal window on its own, otherwise the
// frame with the child window it opened. Modal windows are closed again, child windows
// too, so every command starts from the bare frame.
bool saveCommand(frmMain* frame, const char* action, const QString& dir, const char* name) {
    QAction* a = frame->menuAction(QString::fromLatin1(action));
    if (!a || !a->isEnabled()) {
        std::printf("SKIPPED %s (no enabled command)\n", action);
        return false;
    }
    bool ok = false;
    QEventLoop done;
    QTimer::singleShot(0, frame, [a] { a->trigger(); });
    // Runs inside a modal window's own loop when the command opened one.
    QTimer::singleShot(700, frame, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ok = save(modal, dir, name);
            modal->close();
        } else {
            ok = save(frame, dir, name);
        }
        done.quit();
    });
    done.exec();
    settle();
    CloseAllChildren();
    settle();
    return ok;
}

// A few members, so the lists and the editor show rows.
void addDemoRows() {
    const char* const people[][3] = {{"김민준", "010-2345-6789", "서울 종로구 세종로"},
                                     {"이서연", "010-3456-7890", "서울 중구 태평로1가"},
                                     {"박지호", "010-4567-8901", "서울 영등포구 당산동3가"}};
    for (const auto& p : people)
        ExecSQL(
            QStringLiteral(
                "INSERT INTO tblfriend (sname, hpline, homeadd, insertday) VALUES (?, ?, ?, ?)"),
            {QString::fromUtf8(p[0]), QString::fromUtf8(p[1]), QString::fromUtf8(p[2]),
             QStringLiteral("2026-12-01")});
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: memberdesk-screenshots <output folder> [<width>x<height> of the frame]\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    for (const char* family : {"NanumBarunGothic", "NanumGothic"}) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
            QApplication::setFont(QFont(QString::fromLatin1(family), 10));
            break;
        }
    }

    // Demo data folder with a fresh database; no dialogs, no outside programs.
    ResetAppState(DefaultDataDir());
    setPrompt(std::make_unique<ScriptedPrompt>());
    setLauncher(std::make_unique<RecordingLauncher>());
    for (const char* sub : {"DBS", "Image", "FormIni"})
        QDir().mkpath(DataPath(QString::fromLatin1(sub)));
    if (!QFileInfo::exists(App().dbFile) && !CreateNewDatabase(App().dbFile)) return 1;
    if (!OpenDatabase(App().dbFile) || !ReadOptions()) return 1;

    int failures = 0;
    {
        FrmLogin login;
        login.show();
        if (!save(&login, out, "login.png")) ++failures;
        login.setQuitHandler([] {});
        login.hide();
    }

    addDemoRows();
    RegisterMemberCommands();
    RegisterSalesCommands();
    RegisterMoneyBookCommands();
    RegisterToolCommands();
    RegisterCommCommands();
    App().loginId = QStringLiteral("ADMIN");
    App().userName = QStringLiteral("관리자");
    App().start = QStringLiteral("9");
    auto* frame = new frmMain;
    // The frame's size: 1100x720 unless given, e.g. 1366x740 for a laptop screen.
    QSize frameSize(1100, 720);
    if (argc > 2) {
        const QStringList wh = QString::fromLatin1(argv[2]).split(u'x');
        if (wh.size() == 2 && wh[0].toInt() > 0 && wh[1].toInt() > 0) frameSize = QSize(wh[0].toInt(), wh[1].toInt());
    }
    frame->resize(frameSize);
    frame->show();
    settle();
    if (!save(frame, out, "main.png")) ++failures;
    if (!saveWithMenu(frame, QStringLiteral("mnuETCRoot"), out, "main_menu.png")) ++failures;

    if (QAction* a = frame->menuAction(QStringLiteral("mnuFriend_Option"))) a->trigger();
    settle();
    if (!save(frame, out, "main_option.png")) ++failures;
    if (auto* option = frame->findChild<frmOption*>()) {
        if (!save(option, out, "option.png")) ++failures;
    } else {
        ++failures;
    }
    CloseAllChildren();
    settle();

    // Every window a menu command opens, subsystem by subsystem.
    const char* const commands[][2] = {{"mnuFriend_Friend", "members_list.png"},
                                       {"mnuFriend_FriendSub", "members_editor.png"},
                                       {"mnuFriend_Group", "members_groups.png"},
                                       {"mnuETCRoot_Exel", "members_import.png"},
                                       {"mnuAffairs_Money", "members_funds.png"},
                                       {"mnuTrade_Sub", "sales_services.png"},
                                       {"mnuTrade_List", "sales_trades.png"},
                                       {"mnuTrade_Card", "sales_card_companies.png"},
                                       {"mnuTrade_Receipt", "sales_card_deposits.png"},
                                       {"mnuRecord_Record", "moneybook_ledger.png"},
                                       {"mnuRecord_Section", "moneybook_categories.png"},
                                       {"mnuAffairs_Section", "moneybook_items.png"},
                                       {"mnuRecord_UseName", "moneybook_places.png"},
                                       {"mnuRecord_Money", "moneybook_opening_cash.png"},
                                       {"mnuRecord_Card", "moneybook_cards.png"},
                                       {"mnuRecord_Account", "moneybook_accounts.png"},
                                       {"mnuRecord_Balance", "moneybook_account_balances.png"},
                                       {"mnuRecord_Graph", "moneybook_graph.png"},
                                       {"mnuTrade_Call", "comm_callers.png"},
                                       {"mnu_SeeIDComPort", "comm_callerid_options.png"},
                                       {"mnuETCRoot_Schedule", "tools_schedules.png"},
                                       {"mnuETCRoot_Del", "tools_clear_data.png"},
                                       {"mnuRegister_NetWorkOption", "tools_network.png"},
                                       {"mnuHelpDeskSub", "help.png"}};
    for (const auto& c : commands)
        if (!saveCommand(frame, c[0], out, c[1])) ++failures;
    {
        // The zip-code window opens from the member editor; shown here on its sample data.
        frmZipcode zip;
        zip.show();
        zip.InitForm(QStringLiteral("신"));
        if (!save(&zip, out, "tools_zipcode.png")) ++failures;
    }
    frame->closeWithoutBackup();
    delete frame;
    return failures == 0 ? 0 : 1;
}
