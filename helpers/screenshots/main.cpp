// Renders the program's main windows into PNG files, on a demo data folder:
//   memberdesk-screenshots <output folder>
// Run with QT_QPA_PLATFORM=offscreen, MEMBERDESK_HOME and XDG_CONFIG_HOME pointing at
// empty temporary folders (scripts/screenshots.sh does this).
#include "core/AppState.h"
#include "app/FrmLogin.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "app/frmOption.h"
#include "db/Database.h"
#include "app/MemberCommands.h"
#include "core/Launcher.h"
#include "core/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QDir>
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
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

bool save(QWidget* w, const QString& dir, const char* name) {
    settle();
    const QString path = dir + u'/' + QString::fromLatin1(name);
    const bool ok = w->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// The frame with one of its menus drawn open below the menu bar.
bool saveWithMenu(QMainWindow* frame, const QString& menuName, const QString& dir, const char* name) {
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
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: memberdesk-screenshots <output folder>\n");
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
    for (const char* sub : {"DBS", "Image", "FormIni"}) QDir().mkpath(DataPath(QString::fromLatin1(sub)));
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

    RegisterMemberCommands();
    App().loginId = QStringLiteral("ADMIN");
    App().userName = QStringLiteral("관리자");
    App().start = QStringLiteral("9");
    auto* frame = new frmMain;
    frame->resize(1100, 720);
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
    frame->closeWithoutBackup();
    delete frame;
    return failures == 0 ? 0 : 1;
}
