#include "EnvTest.h"

#include "app/ServerConnect.h"
#include "app/Startup.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

namespace {
const QString Db = QStringLiteral("Database");
} // namespace

// A start on a database server chosen in the settings: a server that cannot be reached is
// never a silent end, and the connection settings can be changed on the spot.
class TestServerStart : public EnvTest {
    Q_OBJECT
public:
    TestServerStart() : EnvTest(false) {}

private slots:
    void unreachableServerAsksRetryChangeOrQuit() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString closedPort = QString::number(probe.serverPort());
        probe.close();
        Settings::set(Db, "Engine", "postgresql");
        Settings::set(Db, "Host", "127.0.0.1");
        Settings::set(Db, "Port", closedPort);
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);    // try again
        m_env->prompt().pushAnswer(Prompt::Answer::Cancel); // quit
        Startup s;
        QVERIFY(!s.run());
        QCOMPARE(m_env->prompt().shown().size(), 2);
        for (const QString& text : m_env->prompt().texts()) {
            QVERIFY2(text.startsWith("데이터베이스 서버에 연결하지 못했습니다.\n\n데이터베이스 서버에 연결할 수 없습니다."), qPrintable(text));
            QVERIFY(text.endsWith("예: 다시 연결합니다.\n아니오: 연결 설정을 바꿉니다.\n취소: 프로그램을 종료합니다."));
        }
        QCOMPARE(m_env->prompt().shown()[0].title, QString("데이터베이스 서버"));
        QVERIFY(!IsDatabaseOpen());
        // Nothing was made in the data folder for the embedded engine.
        QVERIFY(!QFile::exists(App().appDir + "/DBS/dbMain.db"));
    }

    // Wrong settings are corrected through the questions; the password (with quotes, a
    // colon, a backslash and blanks) goes to the private password file, not the settings.
    void changedSettingsConnectWithThePasswordFile() {
        if (!TestEnv::onServer()) QSKIP("needs a PostgreSQL server (MEMBERDESK_TEST_PG)");
        const QString location = App().dbFile; // an empty server database of this test
        QVERIFY(CreateNewDatabase(location));
        const QString name = QRegularExpression("dbname='([^']*)'").match(location).captured(1);
        const QString password = "a:b \\ it's \"x\"";
        ServerLogin login(location, password);
        QVERIFY(login.ok());
        const QString role = login.name();
        Settings::set(Db, "Engine", "postgresql");
        Settings::set(Db, "Host", "127.0.0.1");
        Settings::set(Db, "Port", "1");
        m_env->prompt().pushAnswer(Prompt::Answer::No); // change the settings
        for (const QString& v : {QString("127.0.0.1"), TestEnv::serverAdminValue("port"), name, role, password})
            m_env->prompt().pushText(v);
        {
            Startup s;
            QVERIFY(s.run());
        }
        QVERIFY(IsDatabaseOpen());
        QCOMPARE(Settings::get(Db, "Name"), name);
        QCOMPARE(Settings::get(Db, "User"), role);
        QCOMPARE(GetScalar("SELECT current_user").toString(), role);
        QCOMPARE(FileMode(ServerPasswordFile()) & 077, 0);
        QFile ini(Settings::configDir() + "/" + App().appTitle + ".ini");
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(!ini.readAll().contains("it's"));
        DBTerminate();
    }
};

QTEST_MAIN(TestServerStart)
#include "tst_serverstart.moc"
