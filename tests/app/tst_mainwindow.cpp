#include "TestEnv.h"

#include "core/AppState.h"
#include "app/MainBackground.h"
#include "app/MainCommands.h"
#include "app/MainMdiArea.h"
#include "core/Settings.h"
#include "app/frmMain.h"
#include "app/frmOption.h"
#include "db/Database.h"
#include "ui/HelpWindow.h"
#include "ui/QtPrompt.h"
#include "ui/WindowRegistry.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include <memory>

namespace {
const QString kBgApp = QStringLiteral("공통설정");
const QString kBgSection = QStringLiteral("메인배경");

// The openers the frame does not bring itself; tests register fakes under these names.
const QStringList kOuterCommands = {
    "mnuFriend_FriendSub", "mnuFriend_Group", "mnuFriend_Friend", "mnuTrade_Call", "mnuTrade_Card",
    "mnuTrade_Receipt", "mnuTrade_Sub", "mnuTrade_List", "mnuAffairs_Section", "mnuAffairs_Money",
    "mnuRecord_Section", "mnuRecord_UseName", "mnuRecord_Money", "mnuRecord_Card", "mnuRecord_Account",
    "mnuRecord_Balance", "mnuRecord_Graph", "mnuRecord_Record", "mnuETCRoot_Schedule", "mnuETCRoot_SMS",
    "mnuETCRoot_Backup", "mnuETCRoot_Reback", "mnuETCRoot_Exel", "mnuETCRoot_AS", "mnuETCRoot_Del",
    "mnuRegister_NetWorkOption", "pnlUserName"};
} // namespace

class tst_mainwindow : public QObject {
    Q_OBJECT
    TestEnv* m_env = nullptr;
    QStringList m_ran;

    std::unique_ptr<frmMain> openFrame() {
        auto f = std::make_unique<frmMain>();
        f->show();
        QCoreApplication::processEvents(); // reminder and start window
        return f;
    }
    void registerRecorders() {
        for (const QString& name : kOuterCommands)
            MainCommands::add(name, [this, name](frmMain*) { m_ran << name; });
    }
    static QString setting(const char* key) {
        return Settings::getIn(kBgApp, kBgSection, QString::fromUtf8(key), QStringLiteral("<none>"));
    }
    static void setSetting(const char* key, const QString& v) {
        Settings::set(kBgApp, kBgSection, QString::fromUtf8(key), v);
    }
    static int childCount(frmMain& f) { return int(f.mdiArea()->subWindowList().size()); }
    static MainMdiArea* area(frmMain& f) { return static_cast<MainMdiArea*>(f.mdiArea()); }

private slots:
    void init() {
        m_env = new TestEnv;
        QVERIFY(m_env->ok());
        App().loginId = QStringLiteral("ADMIN");
        App().userName = QStringLiteral("홍&길동 <b>");
        App().ownerCode = 1;
        App().start = QStringLiteral("9");
        m_ran.clear();
        for (const QString& name : kOuterCommands) MainCommands::remove(name);
    }
    void cleanup() {
        for (const QString& name : kOuterCommands) MainCommands::remove(name);
        frmMain::setAutoBackupHook({});
        frmMain::setUnloadHook({});
        delete m_env;
        m_env = nullptr;
    }

    // Items without an opener are disabled until one is registered; the toolbar follows.
    void itemsFollowTheCommandTable() {
        auto f = openFrame();
        QAction* trades = f->menuAction("mnuTrade_List");
        QAction* button = f->menuAction("Toolbar1(2)");
        for (const char* off : {"mnuTrade_List", "Toolbar1(2)", "mnu_SeeIDEnabled", "mnuHelpDesk_AS"})
            QVERIFY2(!f->menuAction(off)->isEnabled(), off);
        QVERIFY(f->menuAction("mnuFriend_Option")->isEnabled() && f->menuAction("mnuExit")->isEnabled());

        frmMain::registerCommand("mnuTrade_List", [this](frmMain*) { m_ran << "trades"; });
        QVERIFY(trades->isEnabled());
        QVERIFY(button->isEnabled());
        button->trigger();
        trades->trigger();
        QCOMPARE(m_ran, (QStringList{"trades", "trades"}));
        MainCommands::remove("mnuTrade_List");
        QVERIFY(!trades->isEnabled());
    }

    void toolbarPositions() {
        registerRecorders();
        auto f = openFrame();
        auto* tb = f->findChild<QToolBar*>("Toolbar1");
        QVERIFY(tb);
        QCOMPARE(tb->actions().size(), 16);
        const QStringList expected = {"mnuFriend_Friend", "mnuTrade_List", "mnuAffairs_Money", "",
                                      "mnuTrade_Receipt", "", "mnuRecord_Record", "mnuRecord_Graph", "",
                                      "mnuETCRoot_Schedule", "mnuETCRoot_SMS", "", "(calc)", "mnuETCRoot_Backup",
                                      "", "(exit)"};
        MainCommands::add("mnuETCRoot_Calc", [this](frmMain*) { m_ran << "(calc)"; });
        MainCommands::add("mnuExit", [this](frmMain*) { m_ran << "(exit)"; });
        for (int pos = 1; pos <= 16; ++pos) {
            QAction* a = tb->actions().at(pos - 1);
            QCOMPARE(a->objectName(), QStringLiteral("Toolbar1(%1)").arg(pos));
            const QString want = expected[pos - 1];
            QCOMPARE(a->isSeparator(), want.isEmpty());
            if (want.isEmpty()) continue;
            QVERIFY(!a->icon().isNull());
            m_ran.clear();
            a->trigger();
            QCOMPARE(m_ran, QStringList{want});
        }
        MainCommands::remove("mnuETCRoot_Calc");
        MainCommands::remove("mnuExit");
    }

    // The status bar, the user panel (plain text) and the network icon, which only a
    // client shows and explains.
    void statusBarAndUserPanel_data() {
        QTest::addColumn<int>("clientMode");
        QTest::newRow("stand-alone") << 0;
        QTest::newRow("client") << 1;
    }
    void statusBarAndUserPanel() {
        QFETCH(int, clientMode);
        App().clientMode = clientMode;
        auto f = openFrame();
        QCOMPARE(f->statusBar()->objectName(), QStringLiteral("StatusBar1"));
        QCOMPARE(f->findChild<QLabel*>("StatusBar1(2)")->text(), QStringLiteral("일")); // 2026-12-06
        QCOMPARE(f->findChild<QLabel*>("StatusBar1(4)")->text(), ServerDatabase() ? DatabasePath() : App().dbFile);
        auto* user = f->findChild<QLabel*>("pnlUserName");
        QCOMPARE(user->text(), QStringLiteral("홍&길동 <b>"));
        QCOMPARE(user->textFormat(), Qt::PlainText);
        auto* tag = f->findChild<QLabel*>("imgNetworkTag");
        QCOMPARE(tag->isVisible(), clientMode == 1 || ServerDatabase());
        if (clientMode == 1) {
            QCOMPARE(tag->toolTip(), QStringLiteral("네트워크 버전(클라이언트)"));
            QTest::mouseClick(tag, Qt::LeftButton);
            QCOMPARE(m_env->prompt().texts(), QStringList{"방금 클릭한 아이콘은 본 컴퓨터가 네트워크버전 클라이언트임을 표시하는 기호입니다."});
            m_env->prompt().clear();
        }
        // The caller-ID test input is not there yet: a click shows nothing.
        QTest::mouseClick(user, Qt::LeftButton);
        QVERIFY(m_env->prompt().shown().isEmpty());
        registerRecorders();
        QTest::mouseClick(user, Qt::LeftButton);
        QCOMPARE(m_ran, QStringList{"pnlUserName"});
    }

    void reminderAtStart_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("shown");
        QTest::newRow("default on") << QString() << true;
        QTest::newRow("on") << "1" << true;
        QTest::newRow("off") << "0" << false;
    }
    void reminderAtStart() {
        QFETCH(QString, setting);
        QFETCH(bool, shown);
        if (!setting.isEmpty()) Settings::set("Config", "스케줄알림", setting);
        const auto add = [](const QString& sdate, const QString& stime, const QString& note, int hidden, int cyclic) {
            ExecSQL("INSERT INTO schedules (ocode, sdate, stime, note, hidden, cyclic) VALUES (1, ?, ?, ?, ?, ?)",
                    {sdate, stime, note, hidden, cyclic});
        };
        add("2026-12-06", "10:30", "회의 '3층'\n\"자료\" 준비", 0, 0);
        add("2026-12-06", "09:00", "끝난 일", 1, 0);
        add("2026-10-31", "", "매월 말일", 0, 1); // no 31st in... December has one, but today is the 6th
        add("2026-11-06", "08:00", "매월 6일", 0, 1);
        auto f = openFrame();
        QCOMPARE(m_env->prompt().shown().size(), shown ? 1 : 0);
        if (!shown) return;
        QCOMPARE(m_env->prompt().lastTitle(), QStringLiteral("금일 스케줄"));
        QCOMPARE(m_env->prompt().shown().first().icon, Prompt::Icon::Information);
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("10:30\n회의 '3층'\n\"자료\" 준비\n\n08:00\n매월 6일\n\n"));
    }

    // The reminder box of one short entry is wide enough for its whole title.
    void reminderBoxKeepsItsTitle() {
        QtPrompt real;
        int width = 0;
        QString title;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            width = box->width();
            box->accept();
        });
        real.message(Prompt::Icon::Information, QStringLiteral("09:00\n회의\n\n"), QStringLiteral("금일 스케줄"));
        QCOMPARE(title, QStringLiteral("금일 스케줄"));
        QFont bold = QApplication::font();
        bold.setBold(true);
        QVERIFY2(width >= QFontMetrics(bold).horizontalAdvance(title) + 150, qPrintable(QString::number(width)));
    }

    // A monthly entry of the 31st on 30 November: nothing to remind.
    void reminderSkipsMonthWithoutTheDay() {
        delete m_env;
        m_env = new TestEnv(true, QDateTime(QDate(2026, 11, 30), QTime(9, 0)));
        ExecSQL("INSERT INTO schedules (ocode, sdate, stime, note, hidden, cyclic) VALUES (1, '2026-01-31', '', 'x', 0, 1)");
        auto f = openFrame();
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

    void startWindow_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("opened");
        QTest::newRow("0 members") << "0" << "mnuFriend_Friend";
        QTest::newRow("1 money book") << "1" << "mnuRecord_Record";
        QTest::newRow("2 group funds") << "2" << "mnuAffairs_Money";
        QTest::newRow("3 trades") << "3" << "mnuTrade_List";
        QTest::newRow("4 schedules") << "4" << "mnuETCRoot_Schedule";
        QTest::newRow("9 none") << "9" << "";
        QTest::newRow("text none") << "abc" << "";
    }
    void startWindow() {
        QFETCH(QString, start);
        QFETCH(QString, opened);
        registerRecorders();
        App().start = start;
        auto f = openFrame();
        QCOMPARE(m_ran, opened.isEmpty() ? QStringList() : QStringList{opened});
        QCOMPARE(childCount(*f), 0);
    }

    // Closing: backup hook first (it may keep the frame open), then every child, then the
    // unload hook; the end of the frame closes the database.
    void closingOrder() {
        QStringList order;
        bool allowBackup = false;
        frmMain::setAutoBackupHook([&] {
            order << "backup";
            return allowBackup;
        });
        frmMain::setUnloadHook([&](){ order << "unload"; });
        auto f = openFrame();
        f->menuAction("mnuFriend_Option")->trigger();
        QCOMPARE(childCount(*f), 1);

        QVERIFY(!f->close());
        QCOMPARE(order, QStringList{"backup"});
        QCOMPARE(childCount(*f), 1);

        // A child that keeps its unsaved changes keeps the frame open too.
        allowBackup = true;
        f->mdiArea()->findChild<QAbstractButton*>("opStart(3)")->click();
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        QVERIFY(!f->close());
        QCOMPARE(order, (QStringList{"backup", "backup"}));
        QCOMPARE(childCount(*f), 1);

        order.clear();
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        f->menuAction("mnuExit")->trigger();
        QVERIFY(!f->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(childCount(*f), 0);
        QCOMPARE(order, (QStringList{"backup", "unload"}));
        QVERIFY(IsDatabaseOpen());
        f.reset();
        QVERIFY(!IsDatabaseOpen());
    }

    // A window opens once and comes to the front again; closing every window leaves the
    // frame; closing without a backup skips the hook.
    void optionWindowOnceThenCloseAll() {
        int backups = 0;
        frmMain::setAutoBackupHook([&] {
            ++backups;
            return false;
        });
        auto f = openFrame();
        QCOMPARE(childCount(*f), 0);
        f->menuAction("mnuFriend_Option")->trigger();
        auto* first = f->mdiArea()->findChild<frmOption*>();
        QVERIFY(first);
        f->menuAction("mnuFriend_Option")->trigger();
        QCOMPARE(childCount(*f), 1);
        QCOMPARE(f->mdiArea()->findChild<frmOption*>(), first);
        QCOMPARE(f->mdiArea()->activeSubWindow()->widget(), first);
        f->mdiArea()->addSubWindow(new QLabel("x"))->show(); // opened outside the registry
        f->menuAction("mnuWindow_AllClose")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QMdiSubWindow* s : f->mdiArea()->subWindowList()) QVERIFY(!s->isVisible());
        QVERIFY(f->isVisible());
        f->closeWithoutBackup();
        QVERIFY(!f->isVisible());
        QCOMPARE(backups, 0);
    }

    void backgroundSettings_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("color");
        QTest::addColumn<int>("wantLayout");
        QTest::addColumn<QColor>("wantColor");
        const QColor def(241, 241, 241);
        const int tiled = int(MainBackground::Layout::Tiled), centred = int(MainBackground::Layout::Centred),
                  none = int(MainBackground::Layout::None);
        QTest::newRow("defaults") << QString() << QString() << tiled << def;
        QTest::newRow("centred, red") << "1" << "255" << centred << QColor(255, 0, 0);
        QTest::newRow("layout 2 means none") << "2" << "15856113" << none << def;
        QTest::newRow("layout text") << "x" << "abc" << tiled << def;
        QTest::newRow("negative colour") << " 1 " << "-1" << centred << def;
        QTest::newRow("colour too big") << "0" << "16777216" << tiled << def;
    }
    void backgroundSettings() {
        QFETCH(QString, layout);
        QFETCH(QString, color);
        QFETCH(int, wantLayout);
        QFETCH(QColor, wantColor);
        if (!layout.isEmpty()) setSetting(MainBackground::KeyLayout, layout);
        if (!color.isEmpty()) setSetting(MainBackground::KeyColor, color);
        auto f = openFrame();
        const MainBackground& bg = area(*f)->backgroundSettings();
        QCOMPARE(int(bg.layout), wantLayout);
        QCOMPARE(bg.color, wantColor);
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

    void logoFileFallbacks() {
        const QString installed = m_env->path("Image/mainbg.jpg");
        QVERIFY(!QFile::exists(installed));
        {
            auto f = openFrame();
            QVERIFY(QFile::exists(installed));
            QVERIFY(!QImage(installed).isNull());
            QVERIFY(area(*f)->hasLogo());
        }
        QVERIFY(OpenDatabase(App().dbFile)); // the end of the frame closed it
        // A file that is not an picture, or is missing, gives the default logo.
        const QString notImage = m_env->path("Image/readme.jpg");
        WriteFileBytes(notImage, "not a picture");
        for (const QString& p : {notImage, m_env->path("Image/gone.jpg")}) {
            setSetting(MainBackground::KeyLogo, p);
            QCOMPARE(MainBackground::load().logoPath, installed);
        }
        // Empty: no logo at all.
        setSetting(MainBackground::KeyLogo, QString());
        QCOMPARE(MainBackground::load().logoPath, QString());
        // An existing file is not overwritten on the next start.
        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        QFile::remove(installed);
        QVERIFY(red.save(installed, "JPEG"));
        const QByteArray before = FileBytes(installed);
        { auto f = openFrame(); }
        QCOMPARE(FileBytes(installed), before);
        QCOMPARE(m_env->prompt().texts(), QStringList());
    }

    void backgroundCommands() {
        auto f = openFrame();
        f->menuAction("mnuTool_bgsetup4")->trigger();
        QCOMPARE(setting(MainBackground::KeyLogo), QString());
        QVERIFY(!area(*f)->hasLogo());
        f->menuAction("mnuTool_bgsetup5")->trigger();
        QCOMPARE(setting(MainBackground::KeyLogo), m_env->path("Image/mainbg.jpg"));

        // Logo file: cancel keeps, a picture is stored, a non-picture is refused.
        m_env->prompt().pushText(QString());
        f->menuAction("mnuTool_bgsetup3")->trigger();
        QCOMPARE(m_env->prompt().lastTitle(), QStringLiteral("메인 Logo이미지 선택"));
        QCOMPARE(setting(MainBackground::KeyLogo), m_env->path("Image/mainbg.jpg"));
        const QString pic = m_env->path("it's mine.jpg");
        QImage img(10, 10, QImage::Format_RGB32);
        img.fill(Qt::green);
        QVERIFY(img.save(pic, "JPEG"));
        m_env->prompt().pushText(pic);
        f->menuAction("mnuTool_bgsetup3")->trigger();
        QCOMPARE(setting(MainBackground::KeyLogo), pic);
        m_env->prompt().pushText(m_env->dataDir() + "/DBS/dbMain.db");
        f->menuAction("mnuTool_bgsetup3")->trigger();
        QCOMPARE(setting(MainBackground::KeyLogo), pic);
        QVERIFY(m_env->prompt().lastText().startsWith(QStringLiteral("그림 파일을 읽을 수 없습니다.")));

        // Colour: stored as red + green*256 + blue*65536; the tiled layout gets the notice.
        m_env->prompt().clear();
        m_env->prompt().push(QColor(1, 2, 3));
        f->menuAction("mnuTool_bgsetup6")->trigger();
        QCOMPARE(setting(MainBackground::KeyColor), QStringLiteral("197121"));
        QCOMPARE(m_env->prompt().texts(),
                 (QStringList{"", "로고가 타일형으로 배치되어 있으면 배경색이 적용되지 않습니다.\n"
                                  "가운데 배치 또는 로고를 없앨 경우만 적용됩니다."}));
        QCOMPARE(m_env->prompt().shown().first().title, QStringLiteral("배경색상 선택"));
        f->menuAction("mnuTool_bgsetup2")->trigger();
        m_env->prompt().clear();
        m_env->prompt().push(QColor(255, 255, 255));
        f->menuAction("mnuTool_bgsetup6")->trigger();
        QCOMPARE(setting(MainBackground::KeyColor), QStringLiteral("16777215"));
        QCOMPARE(m_env->prompt().shown().size(), 1);
        f->menuAction("mnuTool_bgsetup7")->trigger();
        QCOMPARE(setting(MainBackground::KeyColor), QStringLiteral("15856113"));
        QCOMPARE(area(*f)->backgroundSettings().color, QColor(241, 241, 241));
    }

    void calculator() {
        const QByteArray oldPath = qgetenv("PATH");
        const QString bin = m_env->path("fakebin");
        QDir().mkpath(bin);
        qputenv("PATH", bin.toLocal8Bit());
        auto f = openFrame();
        f->menuAction("mnuETCRoot_Calc")->trigger();
        QCOMPARE(m_env->launcher().calls.size(), 0);
        QVERIFY(m_env->prompt().lastText().startsWith(QStringLiteral("계산기 프로그램을 찾을 수 없습니다.")));

        for (const char* name : {"xcalc", "galculator"}) {
            WriteFileBytes(bin + "/" + name, {});
            QFile::setPermissions(bin + "/" + name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        m_env->prompt().clear();
        f->menuAction("Toolbar1(13)")->trigger();
        qputenv("PATH", oldPath);
        QCOMPARE(m_env->launcher().calls.size(), 1);
        QCOMPARE(m_env->launcher().calls.first().program, bin + "/galculator");
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

    void outsidePrograms() {
        auto f = openFrame();
        // The help desk is the guide in the program's own window; without a guide it says so.
        qputenv("MEMBERDESK_GUIDE_DIR", QByteArray("/nonexistent"));
        f->menuAction("mnuHelpDeskSub")->trigger();
        QVERIFY(m_env->prompt().lastText().startsWith(QStringLiteral("사용 설명서를 찾을 수 없습니다.")));
        qunsetenv("MEMBERDESK_GUIDE_DIR");
        f->menuAction("mnuHelpDeskSub")->trigger();
        auto* help = dynamic_cast<HelpWindow*>(WindowRegistry::find("frmHelp"));
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->currentPage(), QStringLiteral("index"));
        QVERIFY(m_env->launcher().calls.isEmpty());

        // Remote support: No does nothing, Yes opens the page.
        m_env->prompt().clear();
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        f->menuAction("mnuSupport")->trigger();
        QCOMPARE(m_env->prompt().texts(), QStringList{"원격지원서비스를 실행하시겠습니까?"});
        QCOMPARE(m_env->launcher().calls.size(), 0);
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        m_env->launcher().result = false; // no browser
        f->menuAction("mnuSupport")->trigger();
        QCOMPARE(m_env->launcher().calls.size(), 1);
        QCOMPARE(m_env->launcher().calls.last().kind, RecordingLauncher::Call::Open);
        QVERIFY(m_env->prompt().lastText().startsWith(QStringLiteral("웹 브라우저를 열 수 없습니다.")));

        // Update program missing: the frame stays.
        f->menuAction("mnuETCRoot_Install")->trigger();
        QVERIFY(f->isVisible());
        QVERIFY(m_env->prompt().lastText().contains(QStringLiteral("memberdesk-update")));
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
