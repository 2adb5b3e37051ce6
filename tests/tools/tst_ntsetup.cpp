// Network setup from the main menu, on a list of mounted shares the test provides.
#include "TestEnv.h"
#include "ToolsDriver.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "tools/FrmTool_NTSetup.h"
#include "tools/NetworkShares.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using namespace tools_test;

namespace {
class FakeShares : public NetworkShares {
public:
    QList<MountedShare> list;
    QList<MountedShare> mounted() const override { return list; }
};

QString env(const char* key) { return Settings::get(App().appTitle, QStringLiteral("환경설정"), QString::fromUtf8(key), QStringLiteral("<none>")); }
QString dbPath() { return Settings::get(App().appTitle, QStringLiteral("Config"), QStringLiteral("DB경로"), QStringLiteral("<none>")); }
} // namespace

class tst_ntsetup : public QObject {
    Q_OBJECT
    TestEnv* m_env = nullptr;
    FakeShares* m_shares = nullptr;
    QTemporaryDir m_mounts;
    std::unique_ptr<frmMain> m_frame;

    QString name() const { return QFileInfo(App().appDir).fileName(); }
    // A "mounted" server folder; with `withDb` it holds DBS/dbMain.db.
    MountedShare share(const QString& server, bool withDb) {
        const QString mp = m_mounts.filePath(server);
        QDir().mkpath(mp + QStringLiteral("/DBS"));
        if (withDb) QFile(mp + QStringLiteral("/DBS/dbMain.db")).open(QIODevice::WriteOnly);
        return {server, name(), QStringLiteral("//") + server + u'/' + name(), mp, QStringLiteral("cifs")};
    }
    FrmTool_NTSetup* open() {
        if (!runMenu(*m_frame, "mnuRegister_NetWorkOption")) return nullptr;
        return dynamic_cast<FrmTool_NTSetup*>(WindowRegistry::find(QStringLiteral("FrmTool_NTSetup")));
    }

private slots:
    void init() {
        m_env = new TestEnv;
        QVERIFY(m_env->ok());
        App().start = QStringLiteral("9");
        Settings::set(App().appTitle, QStringLiteral("Config"), QStringLiteral("스케줄알림"), QStringLiteral("0"));
        auto s = std::make_unique<FakeShares>();
        m_shares = s.get();
        setNetworkShares(std::move(s));
        m_frame = openFrame();
    }
    void cleanup() {
        m_frame.reset();
        setNetworkShares(nullptr);
        delete m_env;
        m_env = nullptr;
    }

    void serverKeepsNetworkValues() {
        Settings::set(QStringLiteral("환경설정"), QStringLiteral("네트웍경로"), QStringLiteral("//OLD/x"));
        FrmTool_NTSetup* w = open();
        QVERIFY(w);
        QVERIFY(!find<QGroupBox>(w, QStringLiteral("FraSvrSetup"))->isEnabled());
        click(find<QPushButton>(w, QStringLiteral("btnSave")));
        QCOMPARE(env("CSType"), QStringLiteral("0"));
        QCOMPARE(dbPath(), App().appDir + QStringLiteral("/DBS"));
        QCOMPARE(env("네트웍경로"), QStringLiteral("//OLD/x"));
        QCOMPARE(m_env->notices(), QStringList{"설정이 저장되었습니다."});
        QVERIFY(m_env->prompt().lastText().startsWith(QStringLiteral("설정이 저장되었습니다.\n프로그램을 다시 시작해야")));
    }

    void clientRefusesBadInput_data() {
        QTest::addColumn<QString>("shareText");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message");
        QTest::newRow("no server path") << "" << "/x" << "[서버경로]은(는) 필수 입력 사항입니다.";
        QTest::newRow("no drive") << "//S/x" << "" << "[네트웍 Drive]은(는) 필수 입력 사항입니다.";
        QTest::newRow("folder without database") << "//S/x" << "<nodb>" << "서버의 데이터베이스를 찾을 수 없어";
    }
    void clientRefusesBadInput() {
        QFETCH(QString, shareText);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        if (folder == QStringLiteral("<nodb>")) folder = share(QStringLiteral("S"), false).mountPoint;
        FrmTool_NTSetup* w = open();
        click(find<QRadioButton>(w, QStringLiteral("optCSType(1)")));
        QVERIFY(find<QGroupBox>(w, QStringLiteral("FraSvrSetup"))->isEnabled());
        focusAndType(find<QLineEdit>(w, QStringLiteral("txtInput(0)")), shareText);
        focusAndType(find<QLineEdit>(w, QStringLiteral("txtInput(1)")), folder);
        click(find<QPushButton>(w, QStringLiteral("btnSave")));
        QVERIFY2(m_env->prompt().lastText().contains(message), qPrintable(m_env->prompt().lastText()));
        QCOMPARE(env("CSType"), QStringLiteral("<none>"));
        QCOMPARE(env("네트웍경로"), QStringLiteral("<none>"));
        QCOMPARE(dbPath(), QStringLiteral("<none>"));
    }

    void connectFindsMountedShare() {
        m_shares->list = {share(QStringLiteral("SRV"), true)};
        FrmTool_NTSetup* w = open();
        click(find<QRadioButton>(w, QStringLiteral("optCSType(1)")));
        click(find<QPushButton>(w, QStringLiteral("btnAutoNTDrv")));
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("서버경로를 먼저 입력하세요."));
        focusAndType(find<QLineEdit>(w, QStringLiteral("txtInput(0)")), QStringLiteral("\\\\srv\\") + name());
        click(find<QPushButton>(w, QStringLiteral("btnAutoNTDrv")));
        QCOMPARE(find<QLineEdit>(w, QStringLiteral("txtInput(1)"))->text(), m_shares->list.first().mountPoint);
        click(find<QPushButton>(w, QStringLiteral("btnSave")));
        QCOMPARE(env("CSType"), QStringLiteral("1"));
        QCOMPARE(env("네트웍드라이브"), m_shares->list.first().mountPoint);
        QCOMPARE(dbPath(), m_shares->list.first().mountPoint + QStringLiteral("/DBS"));
        QCOMPARE(App().clientMode, 1);
    }

    void autoSearch_data() {
        QTest::addColumn<int>("servers");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << 0 << "네트워크상에서 서버를 찾을 수 없습니다.";
        QTest::newRow("two of one name") << 2 << "네트워크상에 서버가 2개이상 존재합니다.";
        QTest::newRow("exactly one") << 1 << "";
    }
    void autoSearch() {
        QFETCH(int, servers);
        QFETCH(QString, message);
        for (int i = 0; i < servers; ++i) m_shares->list << share(QStringLiteral("PC%1").arg(i), true);
        FrmTool_NTSetup* w = open();
        click(find<QRadioButton>(w, QStringLiteral("optCSType(1)")));
        click(find<QCheckBox>(w, QStringLiteral("chkAutoFindSvr")));
        QCOMPARE(find<QTreeWidget>(w, QStringLiteral("tvwNetwork"))->topLevelItem(0)->childCount(), servers);
        if (servers == 1) {
            QCOMPARE(find<QLineEdit>(w, QStringLiteral("txtInput(0)"))->text(), m_shares->list.first().source);
            QCOMPARE(m_env->prompt().shown().size(), 0);
        } else {
            QVERIFY(m_env->prompt().lastText().startsWith(message));
            QVERIFY(m_env->prompt().lastText().endsWith(servers ? QStringLiteral("(") + m_shares->list.last().mountPoint + u')'
                                                                : QStringLiteral("찾을 공유명:") + name()));
            QVERIFY(find<QLineEdit>(w, QStringLiteral("txtInput(0)"))->text().isEmpty());
        }
    }

    void mountTableParsing() {
        const auto m = SystemNetworkShares::parse(QStringLiteral(
            "/dev/sda1 / ext4 rw 0 0\n//SERVER/Member\\040Desk /mnt/m\\040d cifs rw 0 0\nnas:/export/MemberDesk /mnt/n nfs4 rw 0 0\n"));
        QCOMPARE(m.size(), 2);
        QCOMPARE(m[0].share, QStringLiteral("Member Desk"));
        QCOMPARE(m[0].mountPoint, QStringLiteral("/mnt/m d"));
        QCOMPARE(m[1].server, QStringLiteral("nas"));
        QCOMPARE(m[1].share, QStringLiteral("MemberDesk"));
        QVERIFY(SameShare(QStringLiteral("\\\\server\\member desk"), m[0].source));
    }
};

QTEST_MAIN(tst_ntsetup)
#include "tst_ntsetup.moc"
