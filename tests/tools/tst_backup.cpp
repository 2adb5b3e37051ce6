// Backup and restore: the menu commands and the exit question hand over to the backup
// program; the program's archives are checked and restored as a whole or not at all.
#include "OtherPc.h"
#include "WindowTest.h"

#include "app/ToolCommands.h"
#include "app/frmMain.h"
#include "core/AppState.h"
#include "core/PrivateData.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/FileDatabase.h"
#include "db/SchemaUpgrade.h"
#include "tools/Backup.h"
#include "tools/BackupArchive.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <chrono>
#include <filesystem>

class tst_backup : public WindowTest {
    Q_OBJECT
    QString m_helperOutput;

    void fakeHelper() {
        const QString path = App().programDir + "/memberdesk-backup";
        WriteFileBytes(path, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    }
    QStringList startedArgs() const {
        for (const auto& c : m_d->env().launcher().calls)
            if (c.program.endsWith("memberdesk-backup")) return c.args;
        return {"<not started>"};
    }
    static QString builtHelper() {
        return QCoreApplication::applicationDirPath() + "/../../bin/memberdesk-backup";
    }
    int runHelper(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MEMBERDESK_HOME", m_d->env().dataDir());
        env.insert("XDG_CONFIG_HOME", m_d->env().configDir() + "/xdg");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(builtHelper(), args + QStringList{"--quiet"});
        if (!p.waitForFinished(120000)) return -99;
        m_helperOutput = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitCode();
    }
    // The built program's HDDAUTO backup of the database folder: its one archive, or "" when
    // it failed or left other than one.
    QString helperBackup() {
        Settings::set("Backup", "DB경로", "경로", App().dbFolder);
        const int code = runHelper({"HDDAUTO"});
        const QStringList archives = BackupArchives(m_d->env().path("Backup"), "MemberDesk_auto");
        m_helperOutput += QString("\nexit %1, %2 archives").arg(code).arg(archives.size());
        return code == 0 && archives.size() == 1 ? archives.first() : QString();
    }
    // Restores `archive` into the folder `to` (keeping the old files under work/keep).
    static bool restore(const QString& archive, const QString& to, const QTemporaryDir& work) {
        QString error;
        const bool ok = RestoreBackupArchive(archive, to, work.filePath("keep"), {}, &error);
        if (!ok) qWarning("%s", qPrintable(error));
        return ok;
    }
    // The first row of `sql` on the database file in `folder`.
    static QVector<QVariant> firstRow(const QString& folder, const QString& sql) {
        FileConnection c;
        QVector<QVector<QVariant>> rows;
        if (!c.open(folder + "/dbMain.db") || !c.select(sql, {}, rows)) return {};
        return rows.value(0);
    }

private slots:
    void init() {
        WindowTest::init();
        // The same settings folder as the started helper reads, with something in it for
        // the settings copy to hold.
        Settings::setConfigDir(m_d->env().configDir() + "/xdg/MemberDesk");
        Settings::set(App().appTitle, "Config", "스케줄알림", "0");
        RegisterToolCommands();
    }

    void missingHelperKeepsProgramOpen() {
        m_d->open("mnuETCRoot_Backup");
        QVERIFY(prompt().lastText().endsWith("\n데이터백업 프로그램을 찾을 수 없습니다."));
        QVERIFY(m_d->frame()->isVisible());
        prompt().pushAnswer(Prompt::Answer::Yes); // back up and close
        QVERIFY(!m_d->frame()->close()); // the exit backup could not start: stay open
        // Present but failing to start: reported, and the program stays open too.
        fakeHelper();
        m_d->env().launcher().result = false;
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->open("mnuETCRoot_Backup");
        QVERIFY(prompt().lastText().endsWith("\n데이터백업 프로그램을 실행할 수 없습니다."));
        QVERIFY(m_d->frame()->isVisible());
    }

    void commandsHandOver_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("backup") << "mnuETCRoot_Backup" << "데이터 백업(하드)" << QStringList{};
        QTest::newRow("support copy") << "mnuETCRoot_AS" << "데이터 백업(AS)" << QStringList{"AS"};
        QTest::newRow("restore passes UNZIP")
            << "mnuETCRoot_Reback" << "데이터 내려받기" << QStringList{"UNZIP"};
    }
    void commandsHandOver() {
        QFETCH(QString, menu);
        QFETCH(QString, title);
        QFETCH(QStringList, args);
        fakeHelper();
        prompt().pushAnswer(Prompt::Answer::No);
        m_d->open(menu);
        QCOMPARE(prompt().lastTitle(), title);
        QVERIFY(m_d->frame()->isVisible());
        QCOMPARE(startedArgs(), QStringList{"<not started>"});
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->open(menu);
        QCOMPARE(startedArgs(), args);
        QCOMPARE(Settings::getIn("Backup", "DB경로", "경로", QString()), App().dbFolder);
        QVERIFY(!m_d->frame()->isVisible()); // closed without the exit question
        for (const auto& shown : prompt().shown())
            QVERIFY(shown.title != "데이터 백업");
        QCOMPARE(m_d->env().launcher().calls.size(), m_d->env().notices().size() + 1);
    }

    // Every restore mode starts the program in restore mode, never in a backup mode.
    void restoreModesUnzipFirst() {
        for (int mode = 0; mode <= 3; ++mode)
            QCOMPARE(RestoreArguments(mode).value(0), "UNZIP");
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
        prompt().pushAnswer(Prompt::Answer(answer));
        QCOMPARE(m_d->frame()->close(), closes);
        const auto& shown = prompt().shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, "데이터 백업");
        QCOMPARE(prompt().lastDefault(), Prompt::Answer::Yes); // Enter backs up
        QCOMPARE(startedArgs(), args);
        // The settings copy is written when the frame unloads, the newest five kept.
        QCOMPARE(!QDir(App().dbFolder).entryList({"환경설정_*.mdb"}).isEmpty(), closes);
    }

    void settingsCopyKeepsFive() {
        for (int i = 0; i < 7; ++i) {
            Settings::set(App().appTitle, "Config", "n", QString::number(i));
            WriteFileBytes(App().dbFolder + QString("/환경설정_2026010%1_0000.mdb").arg(i), {});
        }
        const QString written = WriteSettingsCopy(App().dbFolder, SettingsCopyNames());
        QVERIFY(!written.isEmpty());
        const QStringList left =
            QDir(App().dbFolder).entryList({"환경설정_*.mdb"}, QDir::Files, QDir::Name);
        QCOMPARE(left.size(), 5);
        QCOMPARE(left.first(), "환경설정_20260103_0000.mdb");
        QVERIFY(QString::fromUtf8(FileBytes(written)).contains("MemberDesk\\Config/n=6"));
        QVERIFY(WriteSettingsCopy(App().dbFolder, SettingsCopyNames()).isEmpty()); // unchanged
    }

    // The built program backs up in HDDAUTO mode, then restores that archive.
    void helperBacksUpAndRestores() {
        if (!QFile::exists(builtHelper())) QSKIP("memberdesk-backup not built");
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname, relation) VALUES (?, ?)",
                         {"김철수", "it's"}),
                 1);
        const QString archive = helperBackup();
        QVERIFY2(!archive.isEmpty() && VerifyBackupArchive(archive), qPrintable(m_helperOutput));

        QCOMPARE(ExecSQL("DELETE FROM tblfriend WHERE code <> 1"), 1);
        // Another program in the middle of a write: the restore waits, then refuses.
        SetBusyTimeout(100);
        {
            Transaction busy;
            QVERIFY(RunSilent("INSERT INTO tblgroup (gname) VALUES ('x')").ok);
            QCOMPARE(runHelper({"UNZIP", archive}), 1);
            QVERIFY(m_helperOutput.contains("데이터베이스를 쓰고 있습니다"));
        }
        QCOMPARE(CountRows("tblfriend", "code <> 1"), 0);
        DBTerminate();
        QCOMPARE(runHelper({"UNZIP", "HDDAUTO", archive}), 0);
        QVERIFY(OpenDatabase(App().dbFile));
        QCOMPARE(GetScalar("SELECT sname || relation FROM tblfriend WHERE code <> 1").toString(),
                 "김철수it's");
        const QStringList kept =
            QDir(m_d->env().path("Backup")).entryList({"before-restore_*"}, QDir::Dirs);
        QCOMPARE(kept.size(), 1);
        QVERIFY(QFile::exists(m_d->env().path("Backup/") + kept.first() + "/dbMain.db"));
    }

    // What killed backups and restores left is removed by the next run once it is an hour
    // old; younger scraps may belong to another PC's run. Three complete keeps stay.
    void scrapsOfKilledRunsAreCleaned() {
        if (!QFile::exists(builtHelper())) QSKIP("memberdesk-backup not built");
        const QString backup = m_d->env().path("Backup");
        auto plant = [](const QString& path, bool folder, int ageMinutes) {
            const QString file = folder ? path + "/dbMain.db" : path;
            WriteFileBytes(file, QByteArray(5000, 'x'));
            const auto when = std::filesystem::file_time_type::clock::now() -
                              std::chrono::minutes(ageMinutes);
            std::filesystem::last_write_time(QFile::encodeName(file).toStdString(), when);
            if (folder) std::filesystem::last_write_time(QFile::encodeName(path).toStdString(), when);
        };
        const QStringList old = {backup + "/.backup-AbC123", backup + "/.verify-Zz9Yy8",
                                 backup + "/server-copy-Q1w2E3",
                                 backup + "/before-restore_20260101_090000.incomplete"};
        for (const QString& d : old) plant(d, true, 120);
        const QStringList oldFiles = {backup + "/MemberDesk_auto_20260101_090000.zip.part",
                                      backup + "/MemberDesk_auto_20260101_090000.zip.part.Xy12Ab",
                                      App().dbFolder + "/dbMain.db.restoring"};
        for (const QString& f : oldFiles) plant(f, false, 120);
        const QString young = backup + "/.backup-Young1";
        plant(young, true, 5);
        for (int day = 1; day <= 4; ++day)
            plant(backup + QString("/before-restore_2026010%1_090000").arg(day), true, 120);

        const QString archive = helperBackup();
        QVERIFY2(!archive.isEmpty(), qPrintable(m_helperOutput));
        DBTerminate();
        QCOMPARE(runHelper({"UNZIP", "HDDAUTO", archive}), 0);

        for (const QString& p : old + oldFiles) QVERIFY2(!QFileInfo::exists(p), qPrintable(p));
        QVERIFY(QFileInfo::exists(young + "/dbMain.db"));
        const QStringList kept = QDir(backup).entryList({"before-restore_*"}, QDir::Dirs,
                                                        QDir::Name | QDir::Reversed);
        QCOMPARE(kept.size(), kKeptRestores);
        QVERIFY2(!kept.first().startsWith("before-restore_2026010"), qPrintable(kept.first()));
        QVERIFY(QFile::exists(backup + u'/' + kept.first() + "/dbMain.db"));
        QCOMPARE(kept.last(), "before-restore_20260103_090000");
    }

    // The check's share shown goes on while the engine reports nothing new, but not far
    // ahead, never back, and not to the end before the check ends.
    void checkShareKeepsMoving() {
        CheckPace pace(0.05);
        QCOMPARE(pace.at(0.2, 1.0), 0.2);
        double shown = 0.2;
        for (double t = 1.1; t < 2.0; t += 0.1) {
            const double next = pace.at(0.2, t);
            QVERIFY2(next >= shown && next <= 0.25 + 1e-9, qPrintable(QString::number(next)));
            shown = next;
        }
        QVERIFY(shown > 0.24);
        QCOMPARE(pace.at(0.1, 2.1), shown); // a smaller report takes nothing back
        QCOMPARE(pace.at(0.6, 2.2), 0.6);
        QCOMPARE(pace.at(1.4, 2.3), 0.99); // the estimate was short: held below the end
        QCOMPARE(pace.at(1.5, 9.0), 0.99);
    }

    void badArchivesLeaveDatabase_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("bytes flipped") << "flipped";
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
        const QString good = work.filePath("good.zip");
        QVERIFY(WriteBackupArchive(App().dbFolder, good));
        const QString bad = work.filePath("bad.zip");
        QFile::copy(good, bad);
        if (kind == "truncated") {
            QFile(bad).resize(QFile(bad).size() / 2);
        } else if (kind == "flipped") {
            // Bytes of the database's compressed data flipped, one every 64: a single byte
            // in a copy of zeros from zeros (most of a test database) can leave the unpacked
            // file as it was, which no check could or should find.
            QByteArray all = FileBytes(bad);
            const qsizetype header = all.indexOf(QByteArray("PK\x03\x04", 4));
            const auto u16 = [&all](qsizetype at) { return int(uchar(all[at])) | int(uchar(all[at + 1])) << 8; };
            qsizetype at = header;
            while (at >= 0 && all.mid(at + 30, u16(at + 26)) != "dbMain.db")
                at = all.indexOf(QByteArray("PK\x03\x04", 4), at + 4);
            QVERIFY(at >= 0);
            const qsizetype data = at + 30 + u16(at + 26) + u16(at + 28);
            const qsizetype size = u16(at + 18) | qsizetype(u16(at + 20)) << 16;
            QVERIFY(size > 0 && data + size <= all.size());
            for (qsizetype i = data + 32; i < data + size; i += 64)
                all[i] = char(all[i] ^ 0x5a);
            WriteFileBytes(bad, all);
        } else if (kind == "text") {
            WriteFileBytes(bad, "<html>not found</html>");
        } else {
            const QString db = work.filePath("dbMain.db");
            if (kind == "foreign") {
                QVERIFY(BuildDatabaseFile(db, {"CREATE TABLE notes (x TEXT)"}));
            } else {
                QVERIFY(SnapshotDatabase(App().dbFile, db));
                // An index whose entries no longer match its table: only the full check,
                // comparing every row with every index, finds it.
                if (kind == "index")
                    QVERIFY(BuildDatabaseFile(
                        db, {"INSERT INTO tbljangbu (sdate, smemo) VALUES ('2024-01-31', 'x')",
                             "PRAGMA writable_schema = ON",
                             "UPDATE sqlite_master SET sql = 'CREATE INDEX ix_tbljangbu_sdate ON "
                             "tbljangbu (smemo)' WHERE name = 'ix_tbljangbu_sdate'"}));
                // An index dropped from the schema but not from the file: only the walk
                // through the whole file finds its pages unused.
                if (kind == "orphan")
                    QVERIFY(BuildDatabaseFile(
                        db, {"PRAGMA writable_schema = ON",
                             "DELETE FROM sqlite_master WHERE name = 'ix_tbljangbu_sdate'"}));
                if (kind == "newer")
                    QVERIFY(BuildDatabaseFile(
                        db, {QString("UPDATE options SET optvalue = '%1' WHERE optname = 'DBVer'")
                                 .arg(kSchemaVersion + 1)}));
            }
            // A backup of such a database checks its copy the same way and keeps nothing.
            if (kind == "index" || kind == "orphan") {
                const QString from = work.filePath("damaged");
                QVERIFY(QDir().mkpath(from) && QFile::copy(db, from + "/dbMain.db"));
                QString why;
                QVERIFY(!WriteBackupArchive(from, work.filePath("refused.zip"), {}, &why));
                QVERIFY2(why.startsWith("백업할 데이터베이스의 검사에서 문제가 발견되었습니다."),
                         qPrintable(why));
                QCOMPARE(QDir(work.path()).entryList({"refused*"}), QStringList());
            }
            const QString name = kind == "traversal" ? "../dbMain.db"
                                 : kind == "empty"   ? "readme.txt"
                                                     : "dbMain.db";
            QVERIFY(WriteZip(bad, {{name, db}}));
        }
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname) VALUES ('keep')"), 1);
        DBTerminate();
        const QByteArray before = FileBytes(App().dbFile);
        // Refused with a reason the person can read.
        const QRegularExpression korean("[가-힣]");
        QString error;
        QVERIFY(!VerifyBackupArchive(bad, &error));
        QVERIFY2(error.contains(korean), qPrintable(error));
        error.clear();
        QVERIFY(!RestoreBackupArchive(bad, App().dbFolder, m_d->env().path("Backup"), {}, &error));
        QVERIFY2(error.contains(korean), qPrintable(error));
        QVERIFY(FileBytes(App().dbFile) == before);
        QVERIFY(!QFile::exists(m_d->env().path("Backup")));
        // Nothing written beside the archive's folder or the database folder.
        for (const QString& outside : {work.filePath("../dbMain.db"), App().appDir + "/dbMain.db"})
            QVERIFY2(!QFile::exists(outside) || kind != "traversal", qPrintable(outside));
        QCOMPARE(QDir(App().dbFolder).entryList({"*.restoring"}).size(), 0);
    }

    // Another PC writes while the backup copies the database (a transfer between two
    // entries, in one transaction) and again once the copy is taken, when the program may
    // start again and rewrites its settings copy: the archive restores to the database of
    // the moment the copy began, whole, with the settings copy as it was.
    void backupWhileAnotherPcWrites() {
        QVERIFY(RunSilent("CREATE TABLE filler (x BLOB)").ok);
        QVERIFY(RunSilent("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c "
                          "WHERE i < 3000) INSERT INTO filler SELECT randomblob(4000) FROM c")
                    .ok);
        QCOMPARE(ExecSQL("INSERT INTO tbljangbu (smemo, smoney) VALUES ('from', 500), ('to', 500)"),
                 2);
        const QString settingsCopy = App().dbFolder + "/환경설정_20260101_0900.mdb";
        WriteFileBytes(settingsCopy, "before");
        OtherPc other;
        QVERIFY(other.ok());
        QTemporaryDir work;
        const QString archive = work.filePath("a.zip");
        int snapshotSteps = 0;
        QList<QPair<int, QString>> reports;
        bool wroteAfterCopy = false;
        QString error;
        QVERIFY2(WriteBackupArchive(
                     App().dbFolder, archive,
                     [&](int percent, const QString& stage) {
                         reports << qMakePair(percent, stage);
                         if (stage == "snapshot" && ++snapshotSteps == 2)
                             other.exec("BEGIN; UPDATE tbljangbu SET smoney = smoney - 100 WHERE "
                                        "smemo = 'from'; UPDATE tbljangbu SET smoney = smoney + "
                                        "100 WHERE smemo = 'to'; INSERT INTO tblfriend (sname) "
                                        "VALUES ('during'); COMMIT");
                         return true;
                     },
                     &error,
                     [&] {
                         wroteAfterCopy = other.exec("INSERT INTO tblfriend (sname) VALUES ('after')");
                         QFile::remove(settingsCopy);
                     }),
                 qPrintable(error));
        QVERIFY(snapshotSteps >= 3);
        // Reported from three threads at once, the window still sees the bar only move on,
        // through the stages in their order, and 100 only at the end.
        const QStringList stages = {"snapshot", "compress", "verify", "done"};
        for (qsizetype i = 1; i < reports.size(); ++i) {
            QVERIFY(reports[i].first >= reports[i - 1].first);
            QVERIFY(stages.indexOf(reports[i].second) >= stages.indexOf(reports[i - 1].second));
            QVERIFY(reports[i - 1].first < 100);
        }
        QCOMPARE(reports.last(), qMakePair(100, QString("done")));
        QVERIFY(wroteAfterCopy);
        QCOMPARE(other.value("SELECT COUNT(*) FROM tblfriend WHERE sname IN ('during', 'after')")
                     .toInt(),
                 2);

        const QString fresh = work.filePath("DBS");
        QVERIFY(restore(archive, fresh, work));
        const DatabaseFileCheck c = CheckDatabaseFile(fresh + "/dbMain.db", {"tblfriend"});
        QVERIFY2(c.ok && c.hasTables, qPrintable(c.error));
        const QVector<QVariant> row = firstRow(
            fresh, "SELECT (SELECT group_concat(m) FROM (SELECT CAST(smoney AS INTEGER) AS m FROM "
                   "tbljangbu ORDER BY smemo)), (SELECT COUNT(*) FROM tblfriend WHERE sname IN "
                   "('during', 'after'))");
        QCOMPARE(row.value(0).toString(), "500,500");
        QCOMPARE(row.value(1).toInt(), 0);
        QCOMPARE(FileBytes(fresh + "/환경설정_20260101_0900.mdb"), QByteArray("before"));
    }

    // Archives made before the backup read its files itself (the library reading them, as
    // WriteZip still does) restore as ever, settings copy included.
    void olderArchiveRestores() {
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname) VALUES ('old')"), 1);
        QTemporaryDir work;
        const QString db = work.filePath("dbMain.db");
        QVERIFY(SnapshotDatabase(App().dbFile, db));
        const QString settingsCopy = work.filePath("환경설정_20250101_0900.mdb");
        WriteFileBytes(settingsCopy, "a=1\n");
        const QString archive = work.filePath("old.zip");
        QVERIFY(WriteZip(archive, {{"dbMain.db", db},
                                   {QFileInfo(settingsCopy).fileName(), settingsCopy}}));
        const QString fresh = work.filePath("DBS");
        QVERIFY(restore(archive, fresh, work));
        QCOMPARE(firstRow(fresh, "SELECT COUNT(*) FROM tblfriend WHERE sname = 'old'").value(0).toInt(),
                 1);
        QVERIFY(QFile::exists(fresh + u'/' + QFileInfo(settingsCopy).fileName()));
    }

    // On a database server the backup holds the server's data (no password handed over);
    // nothing restores over a database other PCs work on.
    void serverDatabaseBackedUpNeverRestored() {
        if (TestEnv::serverAdmin().isEmpty()) QSKIP("no database server for this run");
        if (!QFile::exists(builtHelper())) QSKIP("memberdesk-backup not built");
        const QString location = m_d->env().newServerDatabase();
        QVERIFY(CreateNewDatabase(location) && OpenDatabase(location));
        App().dbFile = location + " password='it\\'s x'";
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname, relation) VALUES (?, ?)",
                         {"김철수", "it's"}),
                 1);
        fakeHelper();
        m_d->open("mnuETCRoot_Reback");
        QVERIFY(prompt().lastText().startsWith("데이터베이스 서버의 자료는 여기서 복구하지 않습니다."));
        QCOMPARE(startedArgs(), QStringList{"<not started>"});
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->open("mnuETCRoot_Backup");
        QCOMPARE(Settings::getIn("Backup", "DB경로", "서버", QString()), location);

        QCOMPARE(runHelper({"HDDAUTO"}), 0);
        const QStringList archives =
            BackupArchives(m_d->env().path("Backup"), "MemberDesk_auto");
        QCOMPARE(archives.size(), 1);
        QVERIFY2(VerifyBackupArchive(archives.first()), qPrintable(m_helperOutput));
        QCOMPARE(QDir(m_d->env().path("Backup")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList());
        const QString unpacked = m_d->env().path("unpacked.db");
        QVERIFY(ExtractZipEntry(archives.first(), "dbMain.db", unpacked));
        QVERIFY(OpenDatabase(unpacked));
        QCOMPARE(GetScalar("SELECT sname || relation FROM tblfriend WHERE code <> 1").toString(),
                 "김철수it's");
        QCOMPARE(runHelper({"UNZIP", archives.first()}), 1);
        QVERIFY(m_helperOutput.contains("데이터베이스 서버의 자료는 여기서 복구하지 않습니다."));
    }

    // The archive carries the sealed numbers but neither the key nor a plain number; restored
    // on a PC without the key, the numbers stay sealed and the program knows the key is missing.
    void archiveHoldsNoKeyAndRestoresSealed() {
        QVERIFY(DataKey::loaded());
        const QByteArray key = FileBytes(DataKeyPath());
        QVERIFY(!key.isEmpty());
        const QString sealed = EncryptIdNo("900101-1234567");
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname, idno) VALUES ('a', ?)", {sealed}), 1);
        QTemporaryDir work;
        const QString archive = work.filePath("a.zip");
        QVERIFY(WriteBackupArchive(App().dbFolder, archive));
        QProcess py;
        py.start("/usr/bin/python3",
                 {"-c",
                  "import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                  "print(z.namelist(), file=sys.stderr); "
                  "sys.stdout.buffer.write(b''.join(z.read(n) for n in z.namelist()))",
                  archive});
        QVERIFY(py.waitForFinished(60000));
        const QByteArray content = py.readAllStandardOutput();
        QVERIFY(!py.readAllStandardError().contains(".key"));
        QVERIFY(content.contains(sealed.toLatin1()));
        QVERIFY(!content.contains("900101-1234567") && !content.contains(key));

        const QString fresh = work.filePath("DBS");
        QDir().mkpath(fresh);
        QVERIFY(restore(archive, fresh, work));
        DBTerminate();
        DataKey::clear();
        App().dbFolder = fresh;
        App().dbFile = fresh + "/dbMain.db";
        QVERIFY(OpenDatabase(App().dbFile));
        QVERIFY(!PrepareDataKey());
        QVERIFY(!QFile::exists(DataKeyPath())); // no new key over the sealed numbers
        const QString stored = GetScalar("SELECT idno FROM tblfriend WHERE sname = 'a'").toString();
        QCOMPARE(stored, sealed);
        QCOMPARE(IdNoForDisplay(stored), "(암호키 없음)");
    }

    // A log left beside the old database is kept with it and never applied to the new one.
    void leftoverLogIsKept() {
        QTemporaryDir work;
        const QString archive = work.filePath("a.zip");
        QVERIFY(WriteBackupArchive(App().dbFolder, archive));
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname) VALUES ('after backup')"), 1);
        // Copy the live files as a crash would leave them: the row lives only in the log.
        const QString crashed = work.filePath("DBS");
        QDir().mkpath(crashed);
        for (const char* n : {"dbMain.db", "dbMain.db-wal"})
            QVERIFY(QFile::copy(App().dbFolder + u'/' + n, crashed + u'/' + n));
        QString error, kept;
        QVERIFY2(RestoreBackupArchive(archive, crashed, work.filePath("keep"), {}, &error, &kept),
                 qPrintable(error));
        QVERIFY(QFile::exists(kept + "/dbMain.db-wal"));
        QVERIFY(!QFile::exists(crashed + "/dbMain.db-wal"));
        DBTerminate();
        QVERIFY(OpenDatabase(crashed + "/dbMain.db"));
        QCOMPARE(CountRows("tblfriend", "sname = 'after backup'"), 0);
    }
};

QTEST_MAIN(tst_backup)
#include "tst_backup.moc"
