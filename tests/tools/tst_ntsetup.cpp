// Network setup from the main menu, on a list of mounted shares the test provides.
#include "WindowTest.h"
#include "app/ToolCommands.h"
#include "core/PrivateData.h"
#include "db/SchemaUpgrade.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "tools/FrmTool_NTSetup.h"
#include "tools/NetworkShares.h"
#include "db/Database.h"
#include "db/ServerSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTcpServer>
#include <QTreeWidget>
#include <QApplication>
#include <QLabel>
#include <QtTest>

namespace {
class FakeShares : public NetworkShares {
public:
    QList<MountedShare> list;
    QList<MountedShare> mounted() const override { return list; }
};

QString env(const char* key) { return Settings::getIn(App().appTitle, "환경설정", QString::fromUtf8(key), "<none>"); }
QString dbSetting(const char* key) { return Settings::getIn(App().appTitle, "Database", QString::fromUtf8(key), "<none>"); }
QString closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QString::number(probe.serverPort());
}
QString dbPath() { return Settings::getIn(App().appTitle, "Config", "DB경로", "<none>"); }
} // namespace

class tst_ntsetup : public WindowTest {
    Q_OBJECT
    FakeShares* m_shares = nullptr;
    QTemporaryDir m_mounts;

    QString name() const { return QFileInfo(App().appDir).fileName(); }
    // A "mounted" server folder; with `withDb` it holds DBS/dbMain.db.
    MountedShare share(const QString& server, bool withDb) {
        const QString mp = m_mounts.filePath(server);
        QDir().mkpath(mp + "/DBS");
        if (withDb) QFile(mp + "/DBS/dbMain.db").open(QIODevice::WriteOnly);
        return {server, name(), "//" + server + u'/' + name(), mp, "cifs"};
    }
    FrmTool_NTSetup* open() { return m_d->open<FrmTool_NTSetup>("mnuRegister_NetWorkOption"); }
    // The window opened from the menu with the option `type` clicked (1 client, 2 server).
    FrmTool_NTSetup* openAs(int type) {
        FrmTool_NTSetup* w = open();
        if (w) m_d->click(QString("optCSType(%1)").arg(type), w);
        return w;
    }
    QString text(const char* name, QWidget* w) const { return m_d->find<QLineEdit>(name, w)->text(); }
    void setTexts(QWidget* w, const QList<std::pair<const char*, QString>>& texts) {
        for (const auto& [name, text] : texts) m_d->find<QLineEdit>(name, w)->setText(text);
    }

private slots:
    void init() {
        WindowTest::init();
        RegisterToolCommands();
        auto s = std::make_unique<FakeShares>();
        m_shares = s.get();
        setNetworkShares(std::move(s));
    }
    void cleanup() {
        WindowTest::cleanup();
        setNetworkShares(nullptr);
    }

    void serverKeepsNetworkValues() {
        Settings::set("환경설정", "네트웍경로", "//OLD/x");
        FrmTool_NTSetup* w = open();
        QVERIFY(w);
        QVERIFY(!m_d->find<QGroupBox>("FraSvrSetup", w)->isEnabled());
        m_d->click("btnSave", w);
        QCOMPARE(env("CSType"), "0");
        QCOMPARE(dbPath(), App().appDir + "/DBS");
        QCOMPARE(env("네트웍경로"), "//OLD/x");
        QCOMPARE(m_d->env().notices(), QStringList{"설정이 저장되었습니다."});
        QVERIFY(prompt().lastText().startsWith("설정이 저장되었습니다.\n프로그램을 다시 시작해야"));
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
        if (folder == "<nodb>") folder = share("S", false).mountPoint;
        FrmTool_NTSetup* w = openAs(1);
        QVERIFY(m_d->find<QGroupBox>("FraSvrSetup", w)->isEnabled());
        m_d->retype("txtInput(0)", shareText, w);
        m_d->retype("txtInput(1)", folder, w);
        m_d->click("btnSave", w);
        QVERIFY2(prompt().lastText().contains(message), qPrintable(prompt().lastText()));
        QCOMPARE(env("CSType"), "<none>");
        QCOMPARE(env("네트웍경로"), "<none>");
        QCOMPARE(dbPath(), "<none>");
    }

    void connectFindsMountedShare() {
        m_shares->list = {share("SRV", true)};
        FrmTool_NTSetup* w = openAs(1);
        m_d->click("btnAutoNTDrv", w);
        QCOMPARE(prompt().lastText(), "서버경로를 먼저 입력하세요.");
        m_d->retype("txtInput(0)", "\\\\srv\\" + name(), w);
        m_d->click("btnAutoNTDrv", w);
        QCOMPARE(text("txtInput(1)", w), m_shares->list.first().mountPoint);
        // The mount folder is named as it is, without a Windows separator after it.
        QCOMPARE(m_d->env().notices().last(),
                 "[" + m_shares->list.first().mountPoint + "] 폴더로 네트워크 드라이브 연결이 되었습니다.");
        m_d->click("btnSave", w);
        QCOMPARE(env("CSType"), "1");
        QCOMPARE(env("네트웍드라이브"), m_shares->list.first().mountPoint);
        QCOMPARE(dbPath(), m_shares->list.first().mountPoint + "/DBS");
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
        FrmTool_NTSetup* w = openAs(1);
        m_d->click("chkAutoFindSvr", w);
        QCOMPARE(m_d->find<QTreeWidget>("tvwNetwork", w)->topLevelItem(0)->childCount(), servers);
        if (servers == 1) {
            QCOMPARE(text("txtInput(0)", w), m_shares->list.first().source);
            QCOMPARE(prompt().shown().size(), 0);
        } else {
            QVERIFY(prompt().lastText().startsWith(message));
            QVERIFY(prompt().lastText().endsWith(servers ? "(" + m_shares->list.last().mountPoint + u')'
                                                                : "찾을 공유명:" + name()));
            QVERIFY(text("txtInput(0)", w).isEmpty());
        }
    }

    // Typed server settings are checked before anything is tried or stored.
    void databaseServerRefusesBadInput_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("no host") << "txtDbHost" << "" << "[서버 주소]은(는) 필수 입력 사항입니다.";
        QTest::newRow("port letters") << "txtDbPort" << "54a2" << "포트는 1에서 65535 사이의 숫자로 입력하세요.";
        QTest::newRow("port too big") << "txtDbPort" << "65536" << "포트는 1에서 65535 사이의 숫자로 입력하세요.";
        QTest::newRow("port zero") << "txtDbPort" << "0" << "포트는 1에서 65535 사이의 숫자로 입력하세요.";
        QTest::newRow("no database") << "txtDbName" << " " << "[데이터베이스]은(는) 필수 입력 사항입니다.";
    }
    void databaseServerRefusesBadInput() {
        QFETCH(QString, input);
        QFETCH(QString, text);
        QFETCH(QString, message);
        FrmTool_NTSetup* w = open();
        QVERIFY(!m_d->find<QGroupBox>("FraDbServer", w)->isEnabled());
        m_d->click("optCSType(2)", w);
        QVERIFY(m_d->find<QGroupBox>("FraDbServer", w)->isEnabled());
        QVERIFY(!m_d->find<QGroupBox>("FraSvrSetup", w)->isEnabled());
        auto* box = m_d->find<QLineEdit>(input, w);
        m_d->retype(box, text);
        m_d->click("btnSave", w);
        QCOMPARE(prompt().lastText(), message);
        QCOMPARE(prompt().shown().size(), 1);
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(dbSetting("Engine"), "<none>");
    }

    // A server that does not answer is stored only when the user insists, with the
    // password (quotes and blanks in it) in a file only the user can read.
    void unreachableDatabaseServer() {
        FrmTool_NTSetup* w = openAs(2);
        setTexts(w, {{"txtDbHost", "127.0.0.1"}, {"txtDbPort", closedPort()}});
        m_d->retype("txtDbPassword", "it's a \"pass\"", w);
        m_d->click("btnTestDb", w);
        QVERIFY2(prompt().lastText().startsWith("서버의 데이터베이스를 사용할 수 없습니다.\n데이터베이스 서버에 연결할 수 없습니다."),
                 qPrintable(prompt().lastText()));
        QCOMPARE(m_d->find<QLabel>("lblDbStatus", w)->text(), prompt().lastText());

        prompt().pushAnswer(Prompt::Answer::No);
        m_d->click("btnSave", w);
        QCOMPARE(prompt().lastText(), "그래도 이 설정을 저장하시겠습니까?");
        QCOMPARE(dbSetting("Engine"), "<none>");
        QVERIFY(!QFile::exists(ServerPasswordFile()));

        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnSave", w);
        QCOMPARE(dbSetting("Engine"), "postgresql");
        QCOMPARE(dbSetting("Host"), "127.0.0.1");
        QCOMPARE(dbSetting("Name"), "memberdesk");
        QFile pass(ServerPasswordFile());
        QVERIFY(pass.open(QIODevice::ReadOnly));
        QCOMPARE(pass.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        QCOMPARE(pass.readAll(), QByteArray("*:*:memberdesk::it's a \"pass\"\n"));
        QVERIFY(text("txtDbPassword", w).isEmpty());
        QVERIFY(prompt().lastText().startsWith("설정이 저장되었습니다."));

        // Opened again, the window shows the stored choice; the first option chooses the file.
        w->close();
        w = open();
        QVERIFY(m_d->find<QRadioButton>("optCSType(2)", w)->isChecked());
        QCOMPARE(text("txtDbHost", w), "127.0.0.1");
        m_d->click("optCSType(0)", w);
        m_d->click("btnSave", w);
        QCOMPARE(dbSetting("Engine"), "sqlite");
        QVERIFY(!ServerEngineInSettings());
    }

    // The data key goes to a file and is taken back from one; a file that is no key, or the
    // key of another database, is refused and the key in use stays.
    void dataKeyExportedAndImported() {
        const QString sealed = EncryptIdNo("900101-1234567");
        FrmTool_NTSetup* w = openAs(2);
        const QString exported = m_d->env().path("moved.key");
        prompt().pushText(exported);
        m_d->click("btnKeyExport", w);
        QVERIFY(prompt().lastText().startsWith("암호키를 저장했습니다."));
        QCOMPARE(QFileInfo(exported).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        // The PC on the server: no key yet.
        QVERIFY(QFile::remove(DataKeyPath()));
        QVERIFY(!PrepareDataKey());
        const QString foreign = m_d->env().path("foreign.key");
        WriteFileBytes(foreign, QByteArray(32, 'x'));
        for (const auto& [file, refusal] : {std::pair{m_d->env().path("DBS/dbMain.db"), "암호키 파일이 아닙니다."},
                                            std::pair{foreign, "이 데이터베이스의 암호키가 아닙니다."}}) {
            prompt().pushText(file);
            m_d->click("btnKeyImport", w);
            QCOMPARE(prompt().lastText(), QString::fromUtf8(refusal));
            QVERIFY(!DataKey::loaded() && !QFile::exists(DataKeyPath()));
        }
        prompt().pushText(exported);
        m_d->click("btnKeyImport", w);
        QCOMPARE(prompt().lastText(), "암호키를 가져왔습니다. 주민번호를 볼 수 있습니다.");
        QCOMPARE(DecryptIdNo(sealed), "900101-1234567");
        QVERIFY(PrepareDataKey()); // the next start finds it
    }

    // A real server: an empty database is accepted (the next start fills it), then one
    // holding MemberDesk's tables; the running program's own database stays open.
    void reachableDatabaseServer() {
        if (TestEnv::serverAdmin().isEmpty()) QSKIP("no database server for this run");
        const QString name = QStringLiteral("md_ntsetup_%1").arg(QCoreApplication::applicationPid());
        const QString location = m_d->env().newServerDatabase(name);
        QVERIFY(!location.isEmpty());
        const QString before = DatabasePath();
        FrmTool_NTSetup* w = openAs(2);
        setTexts(w, {{"txtDbHost", TestEnv::serverAdminValue("host")},
                     {"txtDbPort", TestEnv::serverAdminValue("port")},
                     {"txtDbName", name},
                     {"txtDbUser", TestEnv::serverAdminValue("user")}});
        m_d->click("btnTestDb", w);
        QVERIFY2(prompt().lastText().contains("데이터베이스가 비어 있어"), qPrintable(prompt().lastText()));
        QVERIFY(CreateNewDatabase(location));
        m_d->click("btnSave", w);
        QCOMPARE(prompt().texts().value(1), "서버에 연결되었습니다. MemberDesk 데이터베이스가 있습니다.");
        QCOMPARE(dbSetting("Engine"), "postgresql");
        QCOMPARE(dbSetting("Name"), name);
        QCOMPARE(DatabasePath(), before);
        QVERIFY(IsDatabaseOpen());
    }

    void mountTableParsing() {
        const auto m = SystemNetworkShares::parse("/dev/sda1 / ext4 rw 0 0\n//SERVER/Member\\040Desk /mnt/m\\040d cifs rw 0 0\nnas:/export/MemberDesk /mnt/n nfs4 rw 0 0\n");
        QCOMPARE(m.size(), 2);
        QCOMPARE(m[0].share, "Member Desk");
        QCOMPARE(m[0].mountPoint, "/mnt/m d");
        QCOMPARE(m[1].server, "nas");
        QCOMPARE(m[1].share, "MemberDesk");
        QVERIFY(SameShare("\\\\server\\member desk", m[0].source));
    }
};

QTEST_MAIN(tst_ntsetup)
#include "tst_ntsetup.moc"
