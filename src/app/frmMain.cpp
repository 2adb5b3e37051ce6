#include "app/frmMain.h"

#include "core/AppState.h"
#include "core/BuildInfo.h"
#include "core/Clock.h"
#include "app/Desktop.h"
#include "app/MainBackground.h"
#include "app/MainCommands.h"
#include "app/MainMdiArea.h"
#include "tools/Schedules.h"
#include "core/Settings.h"
#include "app/FrmLoginPwd.h"
#include "app/frmOption.h"
#include "db/Database.h"
#include "core/Launcher.h"
#include "core/Prompt.h"
#include "ui/HelpWindow.h"
#include "ui/WindowRegistry.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusBar>

#include <vector>
#include <QTimer>
#include <QToolBar>

// Resources of a static library must be registered by hand (outside any namespace).
static void initAppResources() { Q_INIT_RESOURCE(app); }

namespace {

const char* const kSupportUrl = "https://www.memberdesk.kr/support";
const char* const kUpdateProgram = "memberdesk-update";

QPointer<frmMain>& liveFrame() {
    static QPointer<frmMain> frame;
    return frame;
}

std::function<bool()>& autoBackupHook() {
    static std::function<bool()> hook;
    return hook;
}

std::vector<std::function<void(frmMain*)>>& openedHooks() {
    static std::vector<std::function<void(frmMain*)>> hooks;
    return hooks;
}

std::function<void()>& unloadHook() {
    static std::function<void()> hook;
    return hook;
}

QString mainCaption() {
    return App().appTitle + QStringLiteral(" Ver.") + QString::number(kVersionMajor) + u'.' +
           QStringLiteral("%1").arg(kVersionMinor, 2, 10, QChar(u'0')) + u'.' +
           QStringLiteral("%1").arg(kVersionRevision, 3, 10, QChar(u'0'));
}

struct ToolbarButton {
    int position;
    const char* icon;
    const char* text;
};

// Positions 4, 6, 9, 12 and 15 are separators.
const ToolbarButton kToolbar[] = {
    {1, "members", "회원관리"},   {2, "trades", "회원거래"},   {3, "funds", "단체자금"},
    {5, "cardcheck", "카드입금"}, {7, "moneybook", "입출금"},  {8, "graph", "수입지출"},
    {10, "schedule", "스케줄"},   {11, "sms", "문자전송"},     {13, "calc", "계산기"},
    {14, "backup", "백업"},       {16, "exit", "종료"},
};

QIcon resourceIcon(const char* name) {
    return QIcon(QStringLiteral(":/memberdesk/icons/%1.png").arg(QString::fromLatin1(name)));
}

void addIfMissing(const QString& name, MainCommand fn) {
    if (!MainCommands::has(name)) MainCommands::add(name, std::move(fn));
}

void setBackgroundSetting(const char* key, const QString& value) {
    Settings::set(QString::fromUtf8(MainBackground::App), QString::fromUtf8(MainBackground::Section),
                  QString::fromUtf8(key), value);
}

QString backgroundSetting(const char* key, const QString& def) {
    return Settings::getIn(QString::fromUtf8(MainBackground::App),
                         QString::fromUtf8(MainBackground::Section), QString::fromUtf8(key), def);
}

void startCalculator() {
    const QString program = FindOnPath({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                        QStringLiteral("galculator"), QStringLiteral("xcalc")});
    if (program.isEmpty()) {
        MsgInfo(QStringLiteral("계산기 프로그램을 찾을 수 없습니다.\n"
                               "gnome-calculator, kcalc, galculator, xcalc 중 하나를 설치해 주십시오."));
        return;
    }
    if (!launcher().start(program, {}))
        MsgWarning(QStringLiteral("계산기를 실행할 수 없습니다.\n") + program);
}

void chooseLogo(frmMain* frame) {
    const QString current = backgroundSetting(MainBackground::KeyLogo, MainBackground::DefaultLogoPath());
    const QString dir = current.isEmpty() ? DataPath(QStringLiteral("Image")) : QFileInfo(current).absolutePath();
    const QString file = prompt().openFileName(QStringLiteral("메인 Logo이미지 선택"), dir,
                                               QStringLiteral("Pictures (*.bmp *.jpg *.gif)"));
    if (file.isEmpty()) return;
    if (!QImageReader(file).canRead()) {
        MsgInfo(QStringLiteral("그림 파일을 읽을 수 없습니다.\n") + file);
        return;
    }
    setBackgroundSetting(MainBackground::KeyLogo, file);
    frame->refreshBackground();
}

void chooseColor(frmMain* frame) {
    const QColor initial = MainBackground::colorFromNumber(
        backgroundSetting(MainBackground::KeyColor, MainBackground::DefaultColorText()));
    const auto chosen = prompt().color(initial, QStringLiteral("배경색상 선택"));
    if (!chosen || !chosen->isValid()) return;
    setBackgroundSetting(MainBackground::KeyColor, MainBackground::numberFromColor(*chosen));
    frame->refreshBackground();
    // A tiled logo covers the whole area, so the colour does not show.
    const MainBackground bg = MainBackground::load();
    if (bg.layout == MainBackground::Layout::Tiled && !bg.logoPath.isEmpty())
        MsgInfo(QStringLiteral("로고가 타일형으로 배치되어 있으면 배경색이 적용되지 않습니다.\n"
                               "가운데 배치 또는 로고를 없앨 경우만 적용됩니다."));
}

void startUpdate(frmMain* frame) {
    const QString program = ProgramPath(QString::fromLatin1(kUpdateProgram));
    if (!QFileInfo(program).isFile()) {
        MsgInfo(QStringLiteral("업데이트 프로그램(%1)을 찾을 수 없습니다.").arg(program));
        return;
    }
    if (!launcher().start(program, {App().appDir})) {
        MsgWarning(QStringLiteral("업데이트 프로그램을 실행할 수 없습니다."));
        return;
    }
    // The update replaces the program files: the program ends.
    frame->closeWithoutBackup();
}

} // namespace

// ---------------------------------------------------------------------------------------

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    initAppResources();
    setObjectName(QStringLiteral("frmMain"));
    liveFrame() = this;

    // 1. caption
    setWindowTitle(mainCaption());
    setWindowIcon(AppIcon());

    m_mdi = new MainMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiClient"));
    setCentralWidget(m_mdi);
    WindowRegistry::setMdiArea(m_mdi);
    InstallWindowPlacement();

    registerBuiltInCommands();
    buildMenus();
    // 2, 3. status bar, user name, network icon
    buildStatusBar();
    // 4. background
    MainBackground::installDefaultLogo();
    refreshBackground();
    // 5. toolbar
    buildToolbar();
    refreshCommands();
    MainCommands::setChangedListener([] {
        if (frmMain* f = frmMain::instance()) f->refreshCommands();
    });

    resize(1100, 760);

    // 6. reminder, 8. start window: once the frame is on screen, so the reminder box and the
    // start window appear over it. (7., the caller-ID link, is opened by its own module.)
    QTimer::singleShot(0, this, [this] {
        CheckSched();
        for (const auto& hook : openedHooks()) hook(this);
        openStartWindow();
    });
}

frmMain::~frmMain() {
    MainCommands::setChangedListener({});
    WindowRegistry::setMdiArea(nullptr);
    if (liveFrame() == this) liveFrame() = nullptr;
    // Child windows go before the connection does, so nothing they do on the way out
    // meets a closed database.
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) delete sub;
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isWindow()) delete w;
    // The frame lives as long as the program: its end closes the shared connection.
    DBTerminate();
}

frmMain* frmMain::instance() { return liveFrame(); }

void frmMain::registerCommand(const QString& name, std::function<void(frmMain*)> opener) {
    MainCommands::add(name, std::move(opener));
}

void frmMain::setAutoBackupHook(std::function<bool()> hook) { autoBackupHook() = std::move(hook); }

void frmMain::addOpenedHook(std::function<void(frmMain*)> hook) { openedHooks().push_back(std::move(hook)); }
void frmMain::setUnloadHook(std::function<void()> hook) { unloadHook() = std::move(hook); }

QMdiArea* frmMain::mdiArea() const { return m_mdi; }

QAction* frmMain::menuAction(const QString& name) const {
    return findChild<QAction*>(name);
}

// ---- building -------------------------------------------------------------------------

void frmMain::registerBuiltInCommands() {
    addIfMissing(QStringLiteral("mnuFriend_Option"), [](frmMain*) {
        OpenChild<frmOption>(QStringLiteral("frmOption"));
    });
    addIfMissing(QStringLiteral("mnuFriend_User"), [](frmMain* f) {
        FrmLoginPwd* w = FrmLoginPwd::open(f);
        // The user's name may change there: the status bar follows when it closes.
        connect(w, &QObject::destroyed, f, &frmMain::refreshUserName, Qt::UniqueConnection);
    });
    addIfMissing(QStringLiteral("mnuBasic_Exit"), [](frmMain* f) { f->close(); });
    addIfMissing(QStringLiteral("mnuExit"), [](frmMain* f) { f->close(); });
    addIfMissing(QStringLiteral("mnuWindow_AllClose"), [](frmMain* f) { f->closeAllChildren(); });
    addIfMissing(QStringLiteral("mnuWindow_Cascade"), [](frmMain* f) { f->mdiArea()->cascadeSubWindows(); });
    addIfMissing(QStringLiteral("mnuWindow_Tile"), [](frmMain* f) { f->mdiArea()->tileSubWindows(); });
    addIfMissing(QStringLiteral("mnuETCRoot_Calc"), [](frmMain*) { startCalculator(); });

    addIfMissing(QStringLiteral("mnuTool_bgsetup1"), [](frmMain* f) {
        setBackgroundSetting(MainBackground::KeyLayout, QStringLiteral("0"));
        f->refreshBackground();
    });
    addIfMissing(QStringLiteral("mnuTool_bgsetup2"), [](frmMain* f) {
        setBackgroundSetting(MainBackground::KeyLayout, QStringLiteral("1"));
        f->refreshBackground();
    });
    addIfMissing(QStringLiteral("mnuTool_bgsetup3"), [](frmMain* f) { chooseLogo(f); });
    addIfMissing(QStringLiteral("mnuTool_bgsetup4"), [](frmMain* f) {
        setBackgroundSetting(MainBackground::KeyLogo, QString());
        f->refreshBackground();
    });
    addIfMissing(QStringLiteral("mnuTool_bgsetup5"), [](frmMain* f) {
        MainBackground::installDefaultLogo();
        setBackgroundSetting(MainBackground::KeyLogo, MainBackground::DefaultLogoPath());
        f->refreshBackground();
    });
    addIfMissing(QStringLiteral("mnuTool_bgsetup6"), [](frmMain* f) { chooseColor(f); });
    addIfMissing(QStringLiteral("mnuTool_bgsetup7"), [](frmMain* f) {
        setBackgroundSetting(MainBackground::KeyColor, MainBackground::DefaultColorText());
        f->refreshBackground();
    });

    addIfMissing(QStringLiteral("mnuSupport"), [](frmMain*) {
        if (AskYesNo(QStringLiteral("원격지원서비스를 실행하시겠습니까?")) &&
            !launcher().open(QString::fromLatin1(kSupportUrl)))
            MsgInfo(QStringLiteral("웹 브라우저를 열 수 없습니다.\n브라우저에서 다음 주소를 직접 여세요.\n") +
                    QString::fromLatin1(kSupportUrl));
    });
    addIfMissing(QStringLiteral("mnuHelpDeskSub"), [](frmMain*) { OpenHelp(); });
    addIfMissing(QStringLiteral("mnuHelpDesk_About"),
                 [](frmMain*) { MsgInfo(AboutText(), QStringLiteral("프로그램 정보")); });
    addIfMissing(QStringLiteral("mnuETCRoot_Install"), [](frmMain* f) { startUpdate(f); });
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* top = nullptr;
    QMenu* current = nullptr;
    for (const MainMenuEntry& e : MainMenuLayout()) {
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QString::fromUtf8(e.caption);
        switch (e.kind) {
        case MainMenuEntry::TopMenu:
            top = current = bar->addMenu(caption);
            top->setObjectName(name);
            top->menuAction()->setObjectName(name + QStringLiteral("_menu"));
            break;
        case MainMenuEntry::SubMenu:
            current = top->addMenu(caption);
            current->setObjectName(name);
            current->menuAction()->setObjectName(name + QStringLiteral("_menu"));
            break;
        case MainMenuEntry::EndSubMenu:
            current = top;
            break;
        case MainMenuEntry::Separator:
            current->addSeparator();
            break;
        case MainMenuEntry::Item:
        case MainMenuEntry::TopItem: {
            auto* action = new QAction(caption, this);
            action->setObjectName(name);
            connect(action, &QAction::triggered, this, [this, name] { runCommand(name); });
            if (e.kind == MainMenuEntry::TopItem) {
                bar->addAction(action);
                top = current = nullptr;
            } else {
                current->addAction(action);
            }
            break;
        }
        }
    }
    if (QAction* seeId = menuAction(QStringLiteral("mnu_SeeIDEnabled"))) seeId->setCheckable(true);

    // The window menu lists the open windows, so a window lost behind others (or placed
    // out of sight) can always be brought back.
    if (auto* windowMenu = findChild<QMenu*>(QStringLiteral("mnuWindow"))) {
        connect(windowMenu, &QMenu::aboutToShow, this, [this, windowMenu] {
            for (QAction* a : windowMenu->actions())
                if (a->property("openWindowEntry").toBool()) delete a;
            const QList<QMdiSubWindow*> subs = m_mdi->subWindowList();
            if (!subs.isEmpty()) windowMenu->addSeparator()->setProperty("openWindowEntry", true);
            int n = 0;
            for (QMdiSubWindow* sub : subs) {
                ++n;
                const QString caption = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
                QAction* a = windowMenu->addAction(
                    (n < 10 ? QStringLiteral("&%1 ").arg(n) : QStringLiteral("%1 ").arg(n)) + caption);
                a->setObjectName(QStringLiteral("mnuWindow_List(%1)").arg(n));
                a->setProperty("openWindowEntry", true);
                a->setCheckable(true);
                a->setChecked(sub == m_mdi->activeSubWindow());
                connect(a, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
                    if (!sub) return;
                    if (sub->isMinimized()) sub->showNormal();
                    KeepInsideArea(sub);
                    m_mdi->setActiveSubWindow(sub);
                });
            }
        });
    }
}

void frmMain::buildToolbar() {
    auto* tb = new QToolBar(QStringLiteral("Toolbar1"), this);
    tb->setObjectName(QStringLiteral("Toolbar1"));
    tb->setMovable(false);
    tb->setIconSize(QSize(32, 32));
    tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::TopToolBarArea, tb);
    int next = 0;
    for (int pos = 1; pos <= ToolbarPositions; ++pos) {
        const QString name = QStringLiteral("Toolbar1(%1)").arg(pos);
        const QString command = ToolbarCommand(pos);
        QAction* a = nullptr;
        if (command.isEmpty()) {
            a = tb->addSeparator();
        } else {
            const ToolbarButton& b = kToolbar[next++];
            a = tb->addAction(resourceIcon(b.icon), QString::fromUtf8(b.text));
            if (QAction* item = menuAction(command)) {
                QString tip = item->text();
                tip.remove(u'&');
                a->setToolTip(tip.simplified());
            }
            connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
        }
        a->setObjectName(name);
        a->setProperty("command", command);
    }
}

void frmMain::buildStatusBar() {
    QStatusBar* sb = statusBar();
    sb->setObjectName(QStringLiteral("StatusBar1"));

    const QDate today = Clock::today();
    const QStringList texts = {
        today.toString(QStringLiteral("yyyy-MM-dd")),
        QLocale(QLocale::Korean, QLocale::SouthKorea).dayName(today.dayOfWeek(), QLocale::ShortFormat),
        QStringLiteral("데이터 파일"),
        // A server's connection text is shown without any password in it.
        ServerDatabase() ? DatabasePath() : App().dbFile,
    };
    for (int i = 0; i < texts.size(); ++i) {
        auto* panel = new QLabel(texts[i], sb);
        panel->setObjectName(QStringLiteral("StatusBar1(%1)").arg(i + 1));
        panel->setTextFormat(Qt::PlainText);
        panel->setContentsMargins(6, 0, 6, 0);
        if (i == 3) {
            panel->setToolTip(texts[i]);
            sb->addWidget(panel, 1);
        } else {
            sb->addWidget(panel);
        }
    }

    m_networkTag = new QLabel(sb);
    m_networkTag->setObjectName(QStringLiteral("imgNetworkTag"));
    m_networkTag->setPixmap(resourceIcon("network").pixmap(20, 20));
    m_networkTag->setToolTip(QStringLiteral("네트워크 버전(클라이언트)"));
    m_networkTag->installEventFilter(this);
    sb->addPermanentWidget(m_networkTag);
    m_networkTag->setVisible(App().clientMode == 1 || ServerDatabase());

    // Plain text: an "&" (or anything looking like markup) in the name is shown as typed.
    m_userName = new QLabel(App().userName, sb);
    m_userName->setObjectName(QStringLiteral("pnlUserName"));
    m_userName->setTextFormat(Qt::PlainText);
    m_userName->setAlignment(Qt::AlignCenter);
    m_userName->setMinimumWidth(120);
    m_userName->setAutoFillBackground(true);
    QPalette pal = m_userName->palette();
    pal.setColor(QPalette::WindowText, QColor(87, 159, 174));
    pal.setColor(QPalette::Window, QColor(234, 233, 233));
    m_userName->setPalette(pal);
    QFont bold = m_userName->font();
    bold.setBold(true);
    m_userName->setFont(bold);
    m_userName->setFrameShape(QFrame::StyledPanel);
    m_userName->installEventFilter(this);
    sb->addPermanentWidget(m_userName);
}

// ---- commands -------------------------------------------------------------------------

void frmMain::runCommand(const QString& name) {
    const FrameCommandScope fromMenu;
    MainCommands::run(name, this);
}

void frmMain::refreshCommands() {
    for (const MainMenuEntry& e : MainMenuLayout()) {
        if (e.kind != MainMenuEntry::Item && e.kind != MainMenuEntry::TopItem) continue;
        const QString name = QString::fromLatin1(e.name);
        if (QAction* a = menuAction(name)) a->setEnabled(MainCommands::has(name));
    }
    for (int pos = 1; pos <= ToolbarPositions; ++pos) {
        const QString command = ToolbarCommand(pos);
        if (command.isEmpty()) continue;
        if (QAction* a = menuAction(QStringLiteral("Toolbar1(%1)").arg(pos)))
            a->setEnabled(MainCommands::has(command));
    }
}

void frmMain::openStartWindow() {
    const QString command = StartWindowCommand(App().start);
    if (!command.isEmpty()) runCommand(command);
}

void frmMain::CheckSched() {
    if (Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("스케줄알림"), QStringLiteral("1")) !=
        QStringLiteral("1"))
        return;
    const QString text = ScheduleReminderText(Clock::today(), App().ownerCode);
    if (!text.isEmpty()) MsgInfo(text, QStringLiteral("금일 스케줄"));
}

void frmMain::refreshUserName() {
    m_userName->setText(App().userName);
}

void frmMain::refreshBackground() {
    m_mdi->setBackgroundSettings(MainBackground::load());
}

bool frmMain::closeAllChildren() {
    return CloseAllChildren();
}

void frmMain::closeWithoutBackup() {
    m_skipBackup = true;
    if (!close()) m_skipBackup = false;
}

// ---- events ---------------------------------------------------------------------------

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            if (watched == m_networkTag) {
                MsgInfo(QStringLiteral("방금 클릭한 아이콘은 본 컴퓨터가 네트워크버전 클라이언트임을 표시하는 기호입니다."));
                return true;
            }
            if (watched == m_userName) {
                // The caller-ID test input registers itself under the panel's name.
                MainCommands::run(QStringLiteral("pnlUserName"), this);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (m_unloaded) {
        event->accept();
        return;
    }
    // Automatic backup first; its failure or cancellation keeps the program open.
    if (!m_skipBackup && autoBackupHook() && !autoBackupHook()()) {
        event->ignore();
        return;
    }
    // Then every child window; one that refuses (unsaved changes kept) keeps the frame open.
    if (!closeAllChildren()) {
        event->ignore();
        return;
    }
    if (unloadHook()) unloadHook()();
    m_unloaded = true;
    event->accept();
}
