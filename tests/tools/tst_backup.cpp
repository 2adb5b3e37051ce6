// Backup and restore: the menu commands and the exit question hand over to the backup
// program; the program's archives are checked and restored as a whole or not at all.
#include "TestEnv.h"

#include "core/PrivateData.h"
#include "db/SchemaUpgrade.h"
#include "OtherPc.h"
#include "ToolsDriver.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/FileDatabase.h"
#include "tools/Backup.h"
#include "tools/BackupArchive.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <chrono>
#include <filesystem>

using namespace tools_test;

namespace {
QByteArray hashOf(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}
} // namespace

class tst_backup : public QObject {
    Q_OBJECT
    TestEnv* m_env = nullptr;
    std::unique_ptr<frmMain> m_frame;

    void fakeHelper() {
        QFile f(App().programDir + QStringLiteral("/memberdesk-backup"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    QStringList startedArgs() const {
        for (const auto& c : m_env->launcher().calls)
            if (c.program.endsWith(QStringLiteral("memberdesk-backup"))) return c.args;
        return {QStringLiteral("<not started>")};
    }
    static QString builtHelper() {
        return QCoreApplication::applicationDirPath() +
               QStringLiteral("/../../bin/memberdesk-backup");
    }
    int runHelper(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MEMBERDESK_HOME"), m_env->dataDir());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_env->configDir() + QStringLiteral("/xdg"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(builtHelper(), args + QStringList{QStringLiteral("--quiet")});
        if (!p.waitForFinished(120000)) return -99;
        m_helperOutput = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitCode();
    }
    QString m_helperOutput;

private slots:
    void init() {
        m_env = new TestEnv;
        QVERIFY(m_env->ok());
        // The same settings folder as the started helper reads.
        Settings::setConfigDir(m_env->configDir() + QStringLiteral("/xdg/MemberDesk"));
        App().start = QStringLiteral("9");
        Settings::set(App().appTitle, QStringLiteral("Config"), QStringLiteral("스케줄알림"),
                      QStringLiteral("0"));
        m_frame = openFrame();
    }
    void cleanup() {
        m_frame.reset();
        frmMain::setAutoBackupHook({});
        frmMain::setUnloadHook({});
        delete m_env;
        m_env = nullptr;
    }

    void missingHelperKeepsProgramOpen() {
        QVERIFY(runMenu(*m_frame, "mnuETCRoot_Backup"));
        QVERIFY(m_env->prompt().lastText().endsWith(
            QStringLiteral("\n데이터백업 프로그램을 찾을 수 없습니다.")));
        QVERIFY(m_frame->isVisible());
        m_env->prompt().pushAnswer(Prompt::Answer::Yes); // back up and close
        QVERIFY(!m_frame->close()); // the exit backup could not start: stay open
        // Present but failing to start: reported, and the program stays open too.
        fakeHelper();
        m_env->launcher().result = false;
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(runMenu(*m_frame, "mnuETCRoot_Backup"));
        QVERIFY(m_env->prompt().lastText().endsWith(
            QStringLiteral("\n데이터백업 프로그램을 실행할 수 없습니다.")));
        QVERIFY(m_frame->isVisible());
    }

    void commandsHandOver_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("backup") << "mnuETCRoot_Backup"
                                << "데이터 백업(하드)" << QStringList{};
        QTest::newRow("support copy") << "mnuETCRoot_AS"
                                      << "데이터 백업(AS)" << QStringList{"AS"};
        QTest::newRow("restore passes UNZIP") << "mnuETCRoot_Reback"
                                              << "데이터 내려받기" << QStringList{"UNZIP"};
    }
    void commandsHandOver() {
        QFETCH(QString, menu);
        QFETCH(QString, title);
        QFETCH(QStringList, args);
        fakeHelper();
        QPointer<frmMain> frame = m_frame.get();
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        QVERIFY(runMenu(*m_frame, menu.toLatin1().constData()));
        QCOMPARE(m_env->prompt().lastTitle(), title);
        QVERIFY(m_frame->isVisible());
        QCOMPARE(startedArgs(), QStringList{"<not started>"});
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(runMenu(*m_frame, menu.toLatin1().constData()));
        QCOMPARE(startedArgs(), args);
        QCOMPARE(Settings::getIn(QStringLiteral("Backup"), QStringLiteral("DB경로"),
                               QStringLiteral("경로"), QString()),
                 App().dbFolder);
        QVERIFY(!m_frame->isVisible()); // closed without the exit question
        for (const auto& shown : m_env->prompt().shown())
            QVERIFY(shown.title != QStringLiteral("데이터 백업"));
        QCOMPARE(m_env->launcher().calls.size(), m_env->notices().size() + 1);
    }

    // Every restore mode starts the program in restore mode, never in a backup mode.
    void restoreModesUnzipFirst() {
        for (int mode = 0; mode <= 3; ++mode)
            QCOMPARE(RestoreArguments(mode).value(0), QStringLiteral("UNZIP"));
        QCOMPARE(RestoreArguments(3), (QStringList{"UNZIP", "HDDAUTO"}));
    }

    void exitQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("yes backs up and closes")
            << int(Prompt::Answer::Yes) << true << QStringList{"HDDAUTO"};
        QTest::newRow("no closes without backup")
            << int(Prompt::Answer::No) << true << QStringList{"<not started>"};
        QTest::newRow("cancel stays")
            << int(Prompt::Answer::Cancel) << false << QStringList{"<not started>"};
    }
    void exitQuestion() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(QStringList, args);
        fakeHelper();
        m_env->prompt().pushAnswer(Prompt::Answer(answer));
        QCOMPARE(m_frame->close(), closes);
        const auto& shown = m_env->prompt().shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, QStringLiteral("데이터 백업"));
        QCOMPARE(m_env->prompt().lastDefault(), Prompt::Answer::Yes); // Enter backs up
        QCOMPARE(startedArgs(), args);
        // The settings copy is written when the frame unloads, the newest five kept.
        QCOMPARE(!QDir(App().dbFolder).entryList({QStringLiteral("환경설정_*.mdb")}).isEmpty(),
                 closes);
    }

    void settingsCopyKeepsFive() {
        for (int i = 0; i < 7; ++i) {
            Settings::set(App().appTitle, QStringLiteral("Config"), QStringLiteral("n"),
                          QString::number(i));
            QFile(App().dbFolder + QStringLiteral("/환경설정_2026010%1_0000.mdb").arg(i))
                .open(QIODevice::WriteOnly);
        }
        const QString written = WriteSettingsCopy(App().dbFolder, SettingsCopyNames());
        QVERIFY(!written.isEmpty());
        const QStringList left =
            QDir(App().dbFolder)
                .entryList({QStringLiteral("환경설정_*.mdb")}, QDir::Files, QDir::Name);
        QCOMPARE(left.size(), 5);
        QCOMPARE(left.first(), QStringLiteral("환경설정_20260103_0000.mdb"));
        QFile f(written);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(f.readAll()).contains(QStringLiteral("MemberDesk\\Config/n=6")));
        QVERIFY(WriteSettingsCopy(App().dbFolder, SettingsCopyNames())
                    .isEmpty()); // unchanged: not again
    }

    // The built program backs up in HDDAUTO mode, then restores that archive.
    void helperBacksUpAndRestores() {
        if (!QFile::exists(builtHelper())) QSKIP("memberdesk-backup not built");
        QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO tblfriend (sname, relation) VALUES (?, ?)"),
                         {QStringLiteral("김철수"), QStringLiteral("it's")}),
                 1);
        Settings::set(QStringLiteral("Backup"), QStringLiteral("DB경로"), QStringLiteral("경로"),
                      App().dbFolder);
        QCOMPARE(runHelper({QStringLiteral("HDDAUTO")}), 0);
        const QStringList archives = BackupArchives(m_env->path(QStringLiteral("Backup")),
                                                    QStringLiteral("MemberDesk_auto"));
        QCOMPARE(archives.size(), 1);
        QVERIFY2(VerifyBackupArchive(archives.first()), qPrintable(m_helperOutput));

        QCOMPARE(ExecSQL(QStringLiteral("DELETE FROM tblfriend WHERE code <> 1")), 1);
        // Another program in the middle of a write: the restore waits, then refuses.
        SetBusyTimeout(100);
        {
            Transaction busy;
            QVERIFY(RunSilent(QStringLiteral("INSERT INTO tblgroup (gname) VALUES ('x')")).ok);
            QCOMPARE(runHelper({QStringLiteral("UNZIP"), archives.first()}), 1);
            QVERIFY(m_helperOutput.contains(QStringLiteral("데이터베이스를 쓰고 있습니다")));
        }
        QCOMPARE(CountRows(QStringLiteral("tblfriend"), QStringLiteral("code <> 1")), 0);
        DBTerminate();
        QCOMPARE(runHelper({QStringLiteral("UNZIP"), QStringLiteral("HDDAUTO"), archives.first()}),
                 0);
        QVERIFY(OpenDatabase(App().dbFile));
        QCOMPARE(
            GetScalar(QStringLiteral("SELECT sname || relation FROM tblfriend WHERE code <> 1"))
                .toString(),
            QStringLiteral("김철수it's"));
        const QStringList kept = QDir(m_env->path(QStringLiteral("Backup")))
                                     .entryList({QStringLiteral("before-restore_*")}, QDir::Dirs);
        QCOMPARE(kept.size(), 1);
        QVERIFY(QFile::exists(m_env->path(QStringLiteral("Backup/")) + kept.first() +
                              QStringLiteral("/dbMain.db")));
    }

    // What killed backups and restores left is removed by the next run once it is an hour
    // old; younger scraps may belong to another PC's run. Three complete keeps stay.
    void scrapsOfKilledRunsAreCleaned() {
        if (!QFile::exists(builtHelper())) QSKIP("memberdesk-backup not built");
        const QString backup = m_env->path(QStringLiteral("Backup"));
        const QString db = App().dbFolder;
        auto plant = [](const QString& path, bool folder, int ageMinutes) {
            const QString file = folder ? path + QStringLiteral("/dbMain.db") : path;
            QDir().mkpath(QFileInfo(file).path());
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(5000, 'x'));
            f.close();
            const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(ageMinutes);
            std::filesystem::last_write_time(QFile::encodeName(file).toStdString(), when);
            if (folder) std::filesystem::last_write_time(QFile::encodeName(path).toStdString(), when);
        };
        const QStringList old = {backup + QStringLiteral("/.backup-AbC123"), backup + QStringLiteral("/.verify-Zz9Yy8"),
                                 backup + QStringLiteral("/server-copy-Q1w2E3"),
                                 backup + QStringLiteral("/before-restore_20260101_090000.incomplete")};
        for (const QString& d : old) plant(d, true, 120);
        const QStringList oldFiles = {backup + QStringLiteral("/MemberDesk_auto_20260101_090000.zip.part"),
                                      backup + QStringLiteral("/MemberDesk_auto_20260101_090000.zip.part.Xy12Ab"),
                                      db + QStringLiteral("/dbMain.db.restoring")};
        for (const QString& f : oldFiles) plant(f, false, 120);
        const QString young = backup + QStringLiteral("/.backup-Young1");
        plant(young, true, 5);
        for (int day = 1; day <= 4; ++day)
            plant(backup + QStringLiteral("/before-restore_2026010%1_090000").arg(day), true, 120);

        Settings::set(QStringLiteral("Backup"), QStringLiteral("DB경로"), QStringLiteral("경로"), db);
        QCOMPARE(runHelper({QStringLiteral("HDDAUTO")}), 0);
        const QStringList archives = BackupArchives(backup, QStringLiteral("MemberDesk_auto"));
        QCOMPARE(archives.size(), 1);
        DBTerminate();
        QCOMPARE(runHelper({QStringLiteral("UNZIP"), QStringLiteral("HDDAUTO"), archives.first()}), 0);

        for (const QString& p : old + oldFiles) QVERIFY2(!QFileInfo::exists(p), qPrintable(p));
        QVERIFY(QFileInfo::exists(young + QStringLiteral("/dbMain.db")));
        const QStringList kept = QDir(backup).entryList({QStringLiteral("before-restore_*")}, QDir::Dirs,
                                                        QDir::Name | QDir::Reversed);
        QCOMPARE(kept.size(), kKeptRestores);
        QVERIFY2(!kept.first().startsWith(QStringLiteral("before-restore_2026010")), qPrintable(kept.first()));
        QVERIFY(QFile::exists(backup + u'/' + kept.first() + QStringLiteral("/dbMain.db")));
        QCOMPARE(kept.last(), QStringLiteral("before-restore_20260103_090000"));
    }

    void badArchivesLeaveDatabase_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("one byte flipped") << "flipped";
        QTest::newRow("not a zip") << "text";
        QTest::newRow("newer schema") << "newer";
        QTest::newRow("another program's database") << "foreign";
        QTest::newRow("index out of step with its table") << "index";
        QTest::newRow("pages no table or index uses") << "orphan";
        QTest::newRow("entry with a folder") << "traversal";
        QTest::newRow("no database entry") << "empty";
    }
    void badArchivesLeaveDatabase() {
        QFETCH(QString, kind);
        QTemporaryDir work;
        const QString good = work.filePath(QStringLiteral("good.zip"));
        QVERIFY(WriteBackupArchive(App().dbFolder, good));
        const QString bad = work.filePath(QStringLiteral("bad.zip"));
        QFile::copy(good, bad);
        QFile f(bad);
        if (kind == QStringLiteral("truncated")) {
            f.resize(f.size() / 2);
        } else if (kind == QStringLiteral("flipped")) {
            QVERIFY(f.open(QIODevice::ReadWrite));
            QByteArray all = f.readAll();
            all[all.size() / 3] = char(all[all.size() / 3] ^ 0x5a);
            f.seek(0);
            f.write(all);
            f.close();
        } else if (kind == QStringLiteral("text")) {
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("<html>not found</html>");
            f.close();
        } else {
            const QString db = work.filePath(QStringLiteral("dbMain.db"));
            if (kind == QStringLiteral("foreign")) {
                QVERIFY(BuildDatabaseFile(db, {QStringLiteral("CREATE TABLE notes (x TEXT)")}));
            } else {
                QVERIFY(SnapshotDatabase(App().dbFile, db));
                // An index whose entries no longer match its table: only the full check,
                // comparing every row with every index, finds it.
                if (kind == QStringLiteral("index"))
                    QVERIFY(BuildDatabaseFile(
                        db,
                        {QStringLiteral(
                             "INSERT INTO tbljangbu (sdate, smemo) VALUES ('2024-01-31', 'x')"),
                         QStringLiteral("PRAGMA writable_schema = ON"),
                         QStringLiteral(
                             "UPDATE sqlite_master SET sql = 'CREATE INDEX ix_tbljangbu_sdate ON "
                             "tbljangbu (smemo)' WHERE name = 'ix_tbljangbu_sdate'")}));
                // An index dropped from the schema but not from the file: only the walk
                // through the whole file finds its pages unused.
                if (kind == QStringLiteral("orphan"))
                    QVERIFY(BuildDatabaseFile(
                        db, {QStringLiteral("PRAGMA writable_schema = ON"),
                             QStringLiteral("DELETE FROM sqlite_master WHERE name = "
                                            "'ix_tbljangbu_sdate'")}));
                if (kind == QStringLiteral("newer"))
                    QVERIFY(BuildDatabaseFile(
                        db, {QStringLiteral(
                                 "UPDATE options SET optvalue = '%1' WHERE optname = 'DBVer'")
                                 .arg(kSchemaVersion + 1)}));
            }
            const QString name = kind == QStringLiteral("traversal")
                                     ? QStringLiteral("../dbMain.db")
                                 : kind == QStringLiteral("empty") ? QStringLiteral("readme.txt")
                                                                   : QStringLiteral("dbMain.db");
            QVERIFY(WriteZip(bad, {{name, db}}));
        }
        QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO tblfriend (sname) VALUES ('keep')")), 1);
        DBTerminate();
        const QByteArray before = hashOf(App().dbFile);
        // Refused with a reason the person can read.
        const QRegularExpression korean(QStringLiteral("[가-힣]"));
        QString error;
        QVERIFY(!VerifyBackupArchive(bad, &error));
        QVERIFY2(error.contains(korean), qPrintable(error));
        error.clear();
        QVERIFY(!RestoreBackupArchive(bad, App().dbFolder, m_env->path(QStringLiteral("Backup")),
                                      {}, &error));
        QVERIFY2(error.contains(korean), qPrintable(error));
        QCOMPARE(hashOf(App().dbFile), before);
        QVERIFY(!QFile::exists(m_env->path(QStringLiteral("Backup"))));
        QVERIFY(!QFile::exists(work.filePath(QStringLiteral("../dbMain.db"))) ||
                kind != QStringLiteral("traversal"));
        QCOMPARE(QDir(App().dbFolder).entryList({QStringLiteral("*.restoring")}).size(), 0);
    }

    // Another PC writes while the backup copies the database (a transfer between two
    // entries, in one transaction) and again once the copy is taken, when the program may
    // start again and rewrites its settings copy: the archive restores to the database of
    // the moment the copy began, whole, with the settings copy as it was.
    void backupWhileAnotherPcWrites() {
        QVERIFY(RunSilent(QStringLiteral("CREATE TABLE filler (x BLOB)")).ok);
        QVERIFY(RunSilent(QStringLiteral("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                         "FROM c WHERE i < 3000) "
                                         "INSERT INTO filler SELECT randomblob(4000) FROM c"))
                    .ok);
        QCOMPARE(ExecSQL(QStringLiteral(
                     "INSERT INTO tbljangbu (smemo, smoney) VALUES ('from', 500), ('to', 500)")),
                 2);
        const QString settingsCopy = App().dbFolder + QStringLiteral("/환경설정_20260101_0900.mdb");
        QFile f(settingsCopy);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("before");
        f.close();
        OtherPc other;
        QVERIFY(other.ok());
        QTemporaryDir work;
        const QString archive = work.filePath(QStringLiteral("a.zip"));
        int snapshotSteps = 0;
        bool wroteAfterCopy = false;
        QString error;
        QVERIFY2(WriteBackupArchive(
                     App().dbFolder, archive,
                     [&](int, const QString& stage) {
                         if (stage == QStringLiteral("snapshot") && ++snapshotSteps == 2)
                             other.exec(QStringLiteral(
                                 "BEGIN; UPDATE tbljangbu SET smoney = smoney - 100 WHERE smemo = "
                                 "'from'; "
                                 "UPDATE tbljangbu SET smoney = smoney + 100 WHERE smemo = 'to'; "
                                 "INSERT INTO tblfriend (sname) VALUES ('during'); COMMIT"));
                         return true;
                     },
                     &error,
                     [&] {
                         wroteAfterCopy = other.exec(
                             QStringLiteral("INSERT INTO tblfriend (sname) VALUES ('after')"));
                         QFile::remove(settingsCopy);
                     }),
                 qPrintable(error));
        QVERIFY(snapshotSteps >= 3);
        QVERIFY(wroteAfterCopy);
        QCOMPARE(other
                     .value(QStringLiteral(
                         "SELECT COUNT(*) FROM tblfriend WHERE sname IN ('during', 'after')"))
                     .toInt(),
                 2);

        const QString fresh = work.filePath(QStringLiteral("DBS"));
        QVERIFY2(
            RestoreBackupArchive(archive, fresh, work.filePath(QStringLiteral("keep")), {}, &error),
            qPrintable(error));
        const DatabaseFileCheck c =
            CheckDatabaseFile(fresh + QStringLiteral("/dbMain.db"), {QStringLiteral("tblfriend")});
        QVERIFY2(c.ok && c.hasTables, qPrintable(c.error));
        FileConnection restored;
        QVERIFY(restored.open(fresh + QStringLiteral("/dbMain.db")));
        QVector<QVector<QVariant>> rows;
        QVERIFY(restored.select(
            QStringLiteral("SELECT (SELECT group_concat(m) FROM (SELECT CAST(smoney AS INTEGER) AS "
                           "m FROM tbljangbu "
                           "ORDER BY smemo)), (SELECT COUNT(*) FROM tblfriend WHERE sname IN "
                           "('during', 'after'))"),
            {}, rows));
        QCOMPARE(rows.value(0).value(0).toString(), QStringLiteral("500,500"));
        QCOMPARE(rows.value(0).value(1).toInt(), 0);
        QFile back(fresh + QStringLiteral("/환경설정_20260101_0900.mdb"));
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), QByteArray("before"));
    }

    // Archives made before the backup read its files itself (the library reading them, as
    // WriteZip still does) restore as ever, settings copy included.
    void olderArchiveRestores() {
        QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO tblfriend (sname) VALUES ('old')")), 1);
        QTemporaryDir work;
        const QString db = work.filePath(QStringLiteral("dbMain.db"));
        QVERIFY(SnapshotDatabase(App().dbFile, db));
        const QString settingsCopy = work.filePath(QStringLiteral("환경설정_20250101_0900.mdb"));
        QFile f(settingsCopy);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("a=1\n");
        f.close();
        const QString archive = work.filePath(QStringLiteral("old.zip"));
        QVERIFY(WriteZip(archive, {{QStringLiteral("dbMain.db"), db},
                                   {QFileInfo(settingsCopy).fileName(), settingsCopy}}));
        const QString fresh = work.filePath(QStringLiteral("DBS"));
        QString error;
        QVERIFY2(
            RestoreBackupArchive(archive, fresh, work.filePath(QStringLiteral("keep")), {}, &error),
            qPrintable(error));
        FileConnection restored;
        QVERIFY(restored.open(fresh + QStringLiteral("/dbMain.db")));
        QVector<QVector<QVariant>> rows;
        QVERIFY(restored.select(
            QStringLiteral("SELECT COUNT(*) FROM tblfriend WHERE sname = 'old'"), {}, rows));
        QCOMPARE(rows.value(0).value(0).toInt(), 1);
        QVERIFY(QFile::exists(fresh + u'/' + QFileInfo(settingsCopy).fileName()));
    }

    // A log left beside the old database is kept with it and never applied to the new one.
    // On a database server the backup holds the server's data (no password handed over);
    // nothing restores over a database other PCs work on.
    void serverDatabaseBackedUpNeverRestored() {
        if (TestEnv::serverAdmin().isEmpty()) QSKIP("no database server for this run");
        if (!QFile::exists(builtHelper())) QSKIP("memberdesk-backup not built");
        const QString location = m_env->newServerDatabase();
        QVERIFY(CreateNewDatabase(location) && OpenDatabase(location));
        App().dbFile = location + QStringLiteral(" password='it\\'s x'");
        QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO tblfriend (sname, relation) VALUES (?, ?)"),
                         {QStringLiteral("김철수"), QStringLiteral("it's")}),
                 1);
        fakeHelper();
        QVERIFY(runMenu(*m_frame, "mnuETCRoot_Reback"));
        QVERIFY(m_env->prompt().lastText().startsWith(QStringLiteral("데이터베이스 서버의 자료는 여기서 복구하지 않습니다.")));
        QCOMPARE(startedArgs(), QStringList{"<not started>"});
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(runMenu(*m_frame, "mnuETCRoot_Backup"));
        QCOMPARE(Settings::getIn(QStringLiteral("Backup"), QStringLiteral("DB경로"), QStringLiteral("서버"), QString()),
                 location);

        QCOMPARE(runHelper({QStringLiteral("HDDAUTO")}), 0);
        const QStringList archives = BackupArchives(m_env->path(QStringLiteral("Backup")), QStringLiteral("MemberDesk_auto"));
        QCOMPARE(archives.size(), 1);
        QVERIFY2(VerifyBackupArchive(archives.first()), qPrintable(m_helperOutput));
        QCOMPARE(QDir(m_env->path(QStringLiteral("Backup"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
        const QString unpacked = m_env->path(QStringLiteral("unpacked.db"));
        QVERIFY(ExtractZipEntry(archives.first(), QStringLiteral("dbMain.db"), unpacked));
        QVERIFY(OpenDatabase(unpacked));
        QCOMPARE(GetScalar(QStringLiteral("SELECT sname || relation FROM tblfriend WHERE code <> 1")).toString(),
                 QStringLiteral("김철수it's"));
        QCOMPARE(runHelper({QStringLiteral("UNZIP"), archives.first()}), 1);
        QVERIFY(m_helperOutput.contains(QStringLiteral("데이터베이스 서버의 자료는 여기서 복구하지 않습니다.")));
    }

    // The archive carries the sealed numbers but neither the key nor a plain number; restored
    // on a PC without the key, the numbers stay sealed and the program knows the key is missing.
    void archiveHoldsNoKeyAndRestoresSealed() {
        QVERIFY(DataKey::loaded());
        QFile keyFile(DataKeyPath());
        QVERIFY(keyFile.open(QIODevice::ReadOnly));
        const QByteArray key = keyFile.readAll();
        const QString sealed = EncryptIdNo(QStringLiteral("900101-1234567"));
        QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO tblfriend (sname, idno) VALUES ('a', ?)"), {sealed}), 1);
        QTemporaryDir work;
        const QString archive = work.filePath(QStringLiteral("a.zip"));
        QVERIFY(WriteBackupArchive(App().dbFolder, archive));
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                                 "print(z.namelist(), file=sys.stderr); "
                                 "sys.stdout.buffer.write(b''.join(z.read(n) for n in z.namelist()))"),
                  archive});
        QVERIFY(py.waitForFinished(60000));
        const QByteArray content = py.readAllStandardOutput();
        QVERIFY(!py.readAllStandardError().contains(".key"));
        QVERIFY(content.contains(sealed.toLatin1()));
        QVERIFY(!content.contains("900101-1234567") && !content.contains(key));

        const QString fresh = work.filePath(QStringLiteral("DBS"));
        QDir().mkpath(fresh);
        QString error;
        QVERIFY2(RestoreBackupArchive(archive, fresh, work.filePath(QStringLiteral("keep")), {}, &error),
                 qPrintable(error));
        DBTerminate();
        DataKey::clear();
        App().dbFolder = fresh;
        App().dbFile = fresh + QStringLiteral("/dbMain.db");
        QVERIFY(OpenDatabase(App().dbFile));
        QVERIFY(!PrepareDataKey());
        QVERIFY(!QFile::exists(DataKeyPath())); // no new key over the sealed numbers
        const QString stored = GetScalar(QStringLiteral("SELECT idno FROM tblfriend WHERE sname = 'a'")).toString();
        QCOMPARE(stored, sealed);
        QCOMPARE(IdNoForDisplay(stored), QStringLiteral("(암호키 없음)"));
    }

    void leftoverLogIsKept() {
        QTemporaryDir work;
        const QString archive = work.filePath(QStringLiteral("a.zip"));
        QVERIFY(WriteBackupArchive(App().dbFolder, archive));
        QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO tblfriend (sname) VALUES ('after backup')")),
                 1);
        // Copy the live files as a crash would leave them: the row lives only in the log.
        const QString crashed = work.filePath(QStringLiteral("DBS"));
        QDir().mkpath(crashed);
        for (const QString& n : {QStringLiteral("dbMain.db"), QStringLiteral("dbMain.db-wal")})
            QVERIFY(QFile::copy(App().dbFolder + u'/' + n, crashed + u'/' + n));
        QString error, kept;
        QVERIFY2(RestoreBackupArchive(archive, crashed, work.filePath(QStringLiteral("keep")), {},
                                      &error, &kept),
                 qPrintable(error));
        QVERIFY(QFile::exists(kept + QStringLiteral("/dbMain.db-wal")));
        QVERIFY(!QFile::exists(crashed + QStringLiteral("/dbMain.db-wal")));
        DBTerminate();
        QVERIFY(OpenDatabase(crashed + QStringLiteral("/dbMain.db")));
        QCOMPARE(CountRows(QStringLiteral("tblfriend"), QStringLiteral("sname = 'after backup'")),
                 0);
    }
};

QTEST_MAIN(tst_backup)
#include "tst_backup.moc"
