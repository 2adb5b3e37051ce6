#include "TestEnv.h"

#include "core/AppState.h"
#include "core/PrivateData.h"
#include "core/Settings.h"
#include "app/Startup.h"
#include "db/Database.h"
#include "tools/FrmTool_NTSetup.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace {
const QString Env = QStringLiteral("환경설정");
const QString Cfg = QStringLiteral("Config");

QString setting(const QString& section, const QString& key) {
    return Settings::getIn(App().appTitle, section, key, QStringLiteral("<missing>"));
}

// A "server" folder holding DBS/dbMain.db, as a mounted share would.
QString makeServer(const QString& root) {
    QDir().mkpath(root + "/DBS");
    QString error;
    if (!CreateNewDatabase(root + "/DBS/dbMain.db", &error)) qWarning("%s", qPrintable(error));
    return root;
}

// A whole start as the program makes it; the database stays open.
bool started() {
    Startup s;
    return s.run();
}

const char* const ServerNotFound =
    "서버 컴퓨터를 찾을 수 없습니다.\n"
    "다음 사항을 확인바랍니다.\n"
    "\n"
    "1. 서버컴퓨터가 켜져 있는지 확인하세요.\n"
    "\n"
    "2. 서버컴퓨터를 현 컴퓨터보다 늦게 켰는지 확인하세요.\n"
    "   서버컴퓨터는 항상 제일 먼저 켜야 하며,\n"
    "   완전히 부팅후 다른 컴퓨터를 켜야 합니다.\n"
    "\n"
    "3. 서버컴퓨터의 이름이 바뀌었는지 확인하세요.\n"
    "\n"
    "4. 서버컴퓨터를 다른 컴퓨터로 이전 했는지 확인하세요.\n"
    "\n"
    "5. 위 모든 사항이 아니라면 파일 관리자에서\n"
    "   서버컴퓨터의 공유 폴더가 연결(마운트)되어 있는지 확인하세요.\n"
    "   서버컴퓨터를 찾을수 없거나 접근이 불가능하다면\n"
    "   네트워크 장애이므로 컴퓨터를 구매한 곳이나\n"
    "   네트워크 공사를 한 업체에 문의하셔서 장애를 복구하시면 됩니다.";
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

    // Client mode pointing at `dbFolder`, with the network values given.
    void clientSettings(const QString& dbFolder, const QString& netPath, const QString& netDrive) {
        Settings::set(Env, "CSType", "1");
        Settings::set(Cfg, "DB경로", dbFolder);
        Settings::set(Env, "네트웍경로", netPath);
        Settings::set(Env, "네트웍드라이브", netDrive);
    }

private slots:
    void init() { env = std::make_unique<TestEnv>(false); }
    void cleanup() { env.reset(); }

    void firstStartCreatesDataFolderThenReusesIt() {
        QVERIFY(started());
        for (const char* sub : {"DBS", "FormIni", "log", "ExpExcel", "Image", "doc"})
            QVERIFY2(QFileInfo(env->path(sub)).isDir(), sub);
        QCOMPARE(App().dbFile, env->path("DBS/dbMain.db"));
        QCOMPARE(App().clientMode, 0);
        QCOMPARE(setting(Cfg, "DB경로"), env->path("DBS"));
        QCOMPARE(GetOption("DBVer", "0"), QString::number(kSchemaVersion));
        ExecSQL("UPDATE local_user SET name = ? WHERE code = '00'", {QString("홍'길동")});
        QCOMPARE(FileMode(env->path("DBS/dbMain.db")), 0600);
        QCOMPARE(FileMode(env->path("DBS.key")), 0600);
        QCOMPARE(FileMode(env->path("DBS")), 0700);
        DBTerminate();
        // Files an earlier version left open to others are closed at the next start.
        QFile::setPermissions(env->path("DBS"), QFile::Permissions(0x7755));
        QFile::setPermissions(env->path("DBS/dbMain.db"), QFile::Permissions(0x6644));
        WriteFileBytes(env->path("log/old.log"), "x");
        QFile::setPermissions(env->path("log/old.log"), QFile::Permissions(0x6644));
        QVERIFY(started());
        for (const char* f : {"DBS/dbMain.db", "log/old.log", "DBS.key"}) QCOMPARE(FileMode(env->path(f)), 0600);
        for (const char* d : {"", "DBS", "log", "ExpExcel"}) QCOMPARE(FileMode(env->path(d)), 0700);
        QCOMPARE(GetScalar("SELECT name FROM local_user WHERE code = '00'").toString(), QString("홍'길동"));
        QVERIFY(env->prompt().texts().isEmpty());
    }

    // The key file of a database with sealed numbers is gone: the start says where it is
    // expected and makes no new key over them.
    void missingKeyIsReported() {
        QVERIFY(started());
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname, idno) VALUES ('a', ?)", {EncryptIdNo("900101-1234567")}), 1);
        DBTerminate();
        QVERIFY(QFile::remove(env->path("DBS.key")));
        DataKey::clear();
        QVERIFY(started());
        QCOMPARE(env->prompt().texts().size(), 1);
        QVERIFY(env->prompt().lastText().contains("(암호키 없음)"));
        QVERIFY(env->prompt().lastText().contains("키 파일 위치: " + env->path("DBS.key")));
        QVERIFY(!QFile::exists(env->path("DBS.key")));
    }

    // What lies under the database's name and was not made here is named, in Korean, and
    // left exactly as it was (creation builds beside the name and renames).
    void startRefusesWhatItDidNotMake_data() {
        QTest::addColumn<bool>("pathStored");
        QTest::addColumn<QString>("cause");
        QTest::newRow("empty file and journal, path stored") << true << "비어 있습니다 (0바이트).";
        QTest::newRow("empty file at a first start") << false << "비어 있습니다 (0바이트).";
        QTest::newRow("folder named like the database") << true << "같은 이름의 폴더가 있습니다.";
    }
    void startRefusesWhatItDidNotMake() {
        QFETCH(bool, pathStored);
        QFETCH(QString, cause);
        const QString file = env->path("DBS/dbMain.db");
        if (pathStored) Settings::set(Cfg, "DB경로", env->path("DBS"));
        const QByteArray journal(5000, '\x5a');
        if (cause.contains("폴더")) {
            QVERIFY(QDir().mkpath(file));
        } else {
            WriteFileBytes(file, QByteArray());
            if (pathStored) WriteFileBytes(file + "-journal", journal);
        }
        QVERIFY(!started());
        const QStringList texts = env->prompt().texts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith("데이터베이스에 연결할 수 없어 프로그램을 종료합니다.") &&
                     texts[0].contains(cause) && texts[0].contains(file), qPrintable(texts[0]));
        QString words = texts[0];
        words.remove(file);
        words.remove("dbMain.db-journal");
        QVERIFY2(!words.contains(QRegularExpression("[A-Za-z]{3,}")), qPrintable(texts[0]));
        QCOMPARE(QFileInfo(file).isDir(), cause.contains("폴더"));
        if (!cause.contains("폴더")) QCOMPARE(QFileInfo(file).size(), 0);
        if (pathStored && !cause.contains("폴더")) {
            QVERIFY(texts[0].contains("5000바이트의 저널 파일"));
            QCOMPARE(FileBytes(file + "-journal"), journal);
        }
    }

    // One copy at a time. A copy killed right after creating its lock file leaves one that
    // names no owner: the next start takes it over instead of saying "already running".
    void singleCopyLock() {
        WriteFileBytes(env->path("memberdesk.lock"), QByteArray());
        auto first = std::make_unique<Startup>();
        QVERIFY(first->acquireSingleCopy());
        QVERIFY(env->prompt().texts().isEmpty());
        Startup second;
        QVERIFY(!second.acquireSingleCopy());
        QCOMPARE(env->prompt().texts(), QStringList{"이미 프로그램이 실행 중입니다."});
        QCOMPARE(env->prompt().lastTitle(), App().appTitle);
        QLockFile other(env->path("memberdesk.lock"));
        QVERIFY(!other.tryLock(0));
        first.reset(); // released when the program ends
        Startup next;
        QVERIFY(next.acquireSingleCopy());
    }

    void unusableDataFolderIsNotASecondCopy() {
        WriteFileBytes(env->path("plainfile"), "x");
        ResetAppState(env->path("plainfile/data"), App().programDir);
        QVERIFY(!started());
        QCOMPARE(env->prompt().texts().size(), 1);
        QVERIFY(env->prompt().lastText().startsWith("데이터 폴더를 만들거나 쓸 수 없어"));
        QVERIFY(env->prompt().lastText().endsWith(env->path("plainfile/data")));
    }

    void clientModeValue_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("mode");
        QTest::newRow("missing") << QString() << 0;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("two with blank") << " 2" << 2;
        QTest::newRow("garbage") << "abc" << 0;
        QTest::newRow("number then text") << "1x" << 1;
    }
    void clientModeValue() {
        QFETCH(QString, stored);
        QFETCH(int, mode);
        if (!stored.isNull()) Settings::set(Env, "CSType", stored);
        // Give client mode a database so InitApp gets through.
        makeServer(env->path("srv"));
        if (mode == 0) makeServer(env->dataDir()); // a stand-alone PC with its own database
        Settings::set(Cfg, "DB경로", env->path("srv/DBS"));
        Startup s;
        QVERIFY(s.prepareDataFolder());
        QVERIFY(InitApp());
        QCOMPARE(App().clientMode, mode);
        QCOMPARE(App().dbFile, mode ? env->path("srv/DBS/dbMain.db") : env->path("DBS/dbMain.db"));
    }

    void standAloneFolderMissing() {
        QVERIFY(!InitApp());
        QCOMPARE(env->prompt().texts(), QStringList{"데이터베이스 파일을 찾을수 없습니다.\n" + env->path("DBS")});
        QVERIFY(!IsDatabaseOpen());
    }

    // Where a client looks for the shared database: the stored folder, the stored drive,
    // the network path; what it stores for the next start and what it says when nothing is
    // there. "@x" is x inside the test's data folder; a client never makes a database.
    void clientFolder_data() {
        QTest::addColumn<QString>("server");   // where a database lies
        QTest::addColumn<QString>("dbFolder"); // stored settings
        QTest::addColumn<QString>("netPath");
        QTest::addColumn<QString>("netDrive");
        QTest::addColumn<QString>("opened"); // the folder used, "" when none
        QTest::addColumn<QString>("keptFolder");
        QTest::addColumn<QString>("keptDrive");
        const auto row = [](const char* name, const char* server, const char* dbFolder, const char* netPath,
                            const char* netDrive, const char* opened, const char* keptFolder, const char* keptDrive) {
            QTest::newRow(name) << server << dbFolder << netPath << netDrive << opened << keptFolder << keptDrive;
        };
        row("reachable folder: settings left alone",
            "@srv", "@srv/DBS", "//server/share", "/mnt/old", "@srv/DBS", "@srv/DBS", "/mnt/old");
        row("folder gone, no drive: nothing reconnected",
            "@srv", "@gone/DBS", "@srv", "", "", "@gone/DBS", "");
        row("stale folder on the reachable stored drive",
            "@mnt", "@mnt/old/DBS", "//server/share", "@mnt", "", "@mnt/old/DBS", "@mnt");
        row("new drive is stored",
            "@mnt", "@mnt/dbs", "//server/share", "/mnt/old", "@mnt/DBS", "@mnt/DBS", "@mnt");
        row("drive gone, network path reachable: used and stored",
            "@share", "@mnt/DBS", "@share", "@mnt", "@share/DBS", "@share/DBS", "@share");
    }
    void clientFolder() {
        const auto at = [&](QString p) { return p.startsWith('@') ? env->path(p.mid(1)) : p; };
        QFETCH(QString, server);
        QFETCH(QString, dbFolder);
        QFETCH(QString, netPath);
        QFETCH(QString, netDrive);
        QFETCH(QString, opened);
        QFETCH(QString, keptFolder);
        QFETCH(QString, keptDrive);
        makeServer(at(server));
        clientSettings(at(dbFolder), at(netPath), at(netDrive));
        QCOMPARE(InitApp(), !opened.isEmpty());
        QCOMPARE(setting(Cfg, "DB경로"), at(keptFolder));
        QCOMPARE(setting(Env, "네트웍드라이브"), at(keptDrive));
        QVERIFY(!QFileInfo::exists(env->path("DBS/dbMain.db")));
        if (!opened.isEmpty()) {
            QCOMPARE(App().dbFile, at(opened) + "/dbMain.db");
            QVERIFY2(env->prompt().texts().isEmpty(), qPrintable(env->prompt().texts().join(" | ")));
            // A client always runs the shared file in rollback-journal mode.
            QCOMPARE(JournalMode(), QString("delete"));
            return;
        }
        // One message naming the file; the folder is not made.
        const QStringList texts = env->prompt().texts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(at(dbFolder) + "/dbMain.db") && texts[0].contains("데이터베이스 파일이 없습니다."),
                 qPrintable(texts[0]));
        QVERIFY(!QFileInfo::exists(at(dbFolder)));
    }

    // A client whose share is gone may try again, open the network setup (and go on with
    // what it saves), use this PC's database for this run, or quit; the text names only
    // things that exist here.
    void clientShareUnreachable() {
        const QString drive = env->path("mnt");
        clientSettings(drive + "/DBS", "//server/share", drive);
        using A = Prompt::Answer;
        for (A a : {A::Yes, A::Cancel, A::No}) env->prompt().pushAnswer(a); // retry, other, quit
        QVERIFY(!InitApp());
        QStringList texts = env->prompt().texts();
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts[0], texts[1]);
        QCOMPARE(texts[0], QString::fromUtf8(ServerNotFound) + "\n\n확인한 경로:\n" + drive +
                               "\n//server/share\n\n예: 다시 연결합니다.\n아니오: 네트워크 설정을 엽니다.\n"
                               "취소: 이 PC의 데이터베이스로 시작하거나 프로그램을 종료합니다.");
        QVERIFY(texts[2].startsWith("이 PC의 데이터베이스로 시작하시겠습니까?\n" + env->path("DBS")));
        QCOMPARE(env->prompt().shown()[2].title, QString("서버 연결"));
        QVERIFY(!IsDatabaseOpen());

        // This PC's database for this run; the client settings stay for the next start.
        QVERIFY(QDir().mkpath(env->path("DBS")) && CreateNewDatabase(env->path("DBS/dbMain.db")));
        env->prompt().clear();
        env->prompt().pushAnswer(A::Cancel);
        env->prompt().pushAnswer(A::Yes);
        QVERIFY(InitApp());
        QCOMPARE(App().dbFile, env->path("DBS/dbMain.db"));
        QCOMPARE(App().clientMode, 0);
        QCOMPARE(setting(Env, "CSType"), QString("1"));
        QCOMPARE(setting(Cfg, "DB경로"), drive + "/DBS");
        DBTerminate();

        // The network setup, pointed at a reachable server, lets the start go on there.
        const QString srv = makeServer(env->path("srv"));
        env->prompt().clear();
        env->prompt().pushAnswer(A::No);
        QTimer::singleShot(0, [&] {
            auto* setup = QApplication::activeModalWidget()->findChild<FrmTool_NTSetup*>();
            QVERIFY(setup);
            QTest::mouseClick(setup->findChild<QRadioButton*>("optCSType(1)"), Qt::LeftButton);
            setup->findChild<QLineEdit*>("txtInput(0)")->setText("//server/other");
            setup->findChild<QLineEdit*>("txtInput(1)")->setText(srv);
            QTest::mouseClick(setup->findChild<QPushButton*>("btnSave"), Qt::LeftButton);
        });
        QVERIFY(InitApp());
        QCOMPARE(App().dbFile, srv + "/DBS/dbMain.db");
        QCOMPARE(App().clientMode, 1);
        QCOMPARE(setting(Env, "네트웍드라이브"), srv);
        // Saved settings apply at once: no "start again" notice.
        QCOMPARE(env->prompt().texts().size(), 1);
    }

    void serverSetupConvertsTheFileOnce() {
        QVERIFY(started());
        QCOMPARE(JournalMode(), QString("wal"));
        DBTerminate();
        Settings::set(Env, "CSType", "0"); // the network setup chose "server"
        QVERIFY(started());
        QVERIFY(App().sharedDatabase);
        QCOMPARE(JournalMode(), QString("delete"));
    }

    void leftoverOfAnInterruptedCreation_data() {
        QTest::addColumn<QStringList>("files");
        QTest::newRow("half-made new file") << QStringList{"dbMain.db.new", "dbMain.db.new-journal"};
        QTest::newRow("folder only") << QStringList{};
    }
    void leftoverOfAnInterruptedCreation() {
        QFETCH(QStringList, files);
        QDir().mkpath(env->path("DBS"));
        for (const QString& f : files) WriteFileBytes(env->path("DBS/" + f), f.endsWith("journal") ? "junk" : "");
        QVERIFY2(started(), qPrintable(env->prompt().texts().join(" | ")));
        QCOMPARE(GetScalar("SELECT loginid FROM local_user WHERE code = '00'").toString(), QString("ADMIN"));
        QVERIFY(env->prompt().texts().isEmpty());
        QCOMPARE(QDir(env->path("DBS")).entryList(QDir::Files), QStringList{"dbMain.db"} << "dbMain.db-shm" << "dbMain.db-wal");
    }

    // After the first start the database is never replaced without a word.
    void missingDatabaseIsNotReplacedSilently_data() {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("choosesFile");
        QTest::newRow("quit") << QList<int>{int(Prompt::Answer::Cancel)} << false << false;
        QTest::newRow("new database, then thought better")
            << QList<int>{int(Prompt::Answer::No), int(Prompt::Answer::No)} << false << false;
        QTest::newRow("new empty database") << QList<int>{int(Prompt::Answer::No), int(Prompt::Answer::Yes)} << true << false;
        QTest::newRow("choose the moved file") << QList<int>{int(Prompt::Answer::Yes)} << true << true;
    }
    void missingDatabaseIsNotReplacedSilently() {
        QFETCH(QList<int>, answers);
        QFETCH(bool, opened);
        QFETCH(bool, choosesFile);
        QVERIFY(started());
        ExecSQL("INSERT INTO tblfriend (sname) VALUES ('옮겨진 회원')");
        DBTerminate();
        const QString file = env->path("DBS/dbMain.db");
        const QString moved = env->path("elsewhere/moved.db");
        QDir().mkpath(env->path("elsewhere"));
        QVERIFY(QFile::rename(file, moved));
        QFile::remove(file + "-wal");
        QFile::remove(file + "-shm");
        for (int a : answers) env->prompt().pushAnswer(Prompt::Answer(a));
        if (choosesFile) env->prompt().pushText(moved);
        QCOMPARE(started(), opened);
        QVERIFY(env->prompt().texts().first().startsWith("데이터베이스 파일이 없습니다.\n" + file));
        QCOMPARE(QFileInfo::exists(file), opened);
        if (opened)
            QCOMPARE(CountRows("tblfriend", "sname = '옮겨진 회원'"), choosesFile ? 1 : 0);
    }

    void readOnlyDatabaseIsReportedAtStart() {
        QVERIFY(started());
        DBTerminate();
        QFile::setPermissions(env->path("DBS/dbMain.db"), QFile::ReadOwner);
        QFile probe(env->path("DBS/dbMain.db"));
        if (probe.open(QIODevice::ReadWrite)) {
            QFile::setPermissions(env->path("DBS/dbMain.db"), QFile::ReadOwner | QFile::WriteOwner);
            QSKIP("running with rights that write any file; the read-only case runs in tst_fullandreadonly");
        }
        QVERIFY(InitApp());
        QVERIFY(env->prompt().texts().first().startsWith("데이터베이스 파일이 읽기 전용이라 자료를 저장할 수 없습니다."));
        QFile::setPermissions(env->path("DBS/dbMain.db"), QFile::ReadOwner | QFile::WriteOwner);
    }

    void remapWithoutDriveUsesLocalPath() {
        const QString share = makeServer(env->path("share"));
        QCOMPARE(RemapNetworkDrive(share, QString(), QString(), false), share);
        QCOMPARE(RemapNetworkDrive(env->path("nothing"), QString(), QString(), true), QString());
        QCOMPARE(env->prompt().texts(),
                 QStringList{env->path("nothing") + " 드라이브 연결이 실패되었습니다."});
        // A plain folder without DBS that is no mount point is not the share.
        QDir().mkpath(env->path("plain"));
        QVERIFY(!IsShareReachable(env->path("plain")));
        QVERIFY(!IsShareReachable(QString()));
        QVERIFY(IsShareReachable("/")); // a mount point of its own
    }

    void openFailures_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text file") << "text";
        QTest::newRow("unreadable") << "unreadable";
        QTest::newRow("locked by another process") << "locked";
    }
    void openFailures() {
        QFETCH(QString, kind);
        Startup s;
        QVERIFY(s.prepareDataFolder());
        const QString file = env->path("DBS/dbMain.db");
        QProcess holder;
        if (kind == "text") {
            WriteFileBytes(file, "이것은 데이터베이스가 아닙니다.\n");
        } else if (kind == "unreadable") {
            QFile::setPermissions(file, QFileDevice::Permissions());
            QFile probe(file);
            if (probe.open(QIODevice::ReadOnly)) {
                QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
                QSKIP("running with rights that read any file");
            }
        } else {
            const QString cli = QStandardPaths::findExecutable("sqlite3");
            if (cli.isEmpty()) QSKIP("sqlite3 command-line tool not installed");
            holder.start(cli, {file});
            QVERIFY(holder.waitForStarted());
            holder.write("PRAGMA locking_mode=EXCLUSIVE;\nBEGIN EXCLUSIVE;\n"
                         "SELECT count(*) FROM local_user;\n");
            // The pragma answers "exclusive" at once; the lock is held only once the count,
            // the second line, has been read.
            QByteArray out;
            while (out.count('\n') < 2) {
                QVERIFY(holder.waitForReadyRead(5000));
                out += holder.readAllStandardOutput();
            }
        }
        const QByteArray before = FileBytes(file);

        QVERIFY(!InitApp());
        const QStringList texts = env->prompt().texts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(file), qPrintable(texts[0]));
        // A file that is no database reads as a damaged one, with the way out.
        if (kind == "text")
            QVERIFY2(texts[0].contains("손상되었습니다.") && texts[0].contains("백업"), qPrintable(texts[0]));
        else
            QVERIFY2(texts[0].contains("원인: ") && !texts[0].endsWith("원인: "), qPrintable(texts[0]));
        QVERIFY(!IsDatabaseOpen());

        // Nothing damaged; once the cause is gone the next start works.
        if (kind == "text") {
            QCOMPARE(FileBytes(file), before);
            QFile::remove(file);
            // Not a first start any more: a new database only on the user's word.
            env->prompt().pushAnswer(Prompt::Answer::No);
            env->prompt().pushAnswer(Prompt::Answer::Yes);
            QVERIFY(s.prepareDataFolder());
        } else if (kind == "unreadable") {
            QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        } else {
            holder.write(".quit\n");
            holder.closeWriteChannel();
            QVERIFY(holder.waitForFinished(5000));
        }
        QVERIFY(InitApp());
        if (kind != "text") QCOMPARE(App().friendCode, QString("0"));
    }

    void readOptions() {
        QVERIFY(started());
        ExecSQL("DELETE FROM options WHERE optname IN ('friendcode', 'start', 'pointindex', 'point')");
        SetOption("start", "3");
        App().duplicateMemberCheck = false;
        QVERIFY(ReadOptions());
        QCOMPARE(App().start, QString("3"));
        QCOMPARE(App().point, QString("10"));
        QCOMPARE(App().friendCode, QString("0"));
        QCOMPARE(App().pointIndex, QString("0"));
        // Missing rows were created with their defaults.
        QCOMPARE(CountRows("options", "optname IN ('friendcode', 'start', 'pointindex', 'point')"), 4);
        QCOMPARE(GetScalar("SELECT optvalue FROM options WHERE optname = 'point'").toString(), QString("10"));
        QVERIFY(App().duplicateMemberCheck); // never written: on
        // Only a stored "0" turns the duplicate-name check off.
        const QList<std::pair<const char*, bool>> repetition = {{"0", false}, {"", true}, {" 0", true}};
        for (const auto& [stored, on] : repetition) {
            Settings::set(Cfg, "MEMBER_REPETITION", stored);
            QVERIFY(ReadOptions());
            QVERIFY2(App().duplicateMemberCheck == on, stored);
        }
    }

    void readOptionsWithoutConnection() {
        QVERIFY(!ReadOptions());
        QCOMPARE(env->prompt().texts().size(), 1);
        QVERIFY(env->prompt().lastText().contains("in procedure ReadOptions of Module"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
