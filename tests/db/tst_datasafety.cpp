// Files shared by several PCs, foreign and damaged files: what opening them does.
#include "EnvTest.h"
#include "OtherPc.h"

#include "core/AppState.h"
#include "db/Database.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {
QByteArray fileHash(const QString& path) {
    return QCryptographicHash::hash(FileBytes(path), QCryptographicHash::Sha256);
}
} // namespace

class TestDataSafety : public EnvTest {
    Q_OBJECT

private slots:
    void sharedFileKeepsRollbackJournal() {
        const QString file = App().dbFile;
        DBTerminate();
        // The server PC, still set up stand-alone, has the file open in WAL mode.
        auto server = std::make_unique<OtherPc>(file);
        QVERIFY(server->ok());
        QVERIFY(server->exec("PRAGMA journal_mode=WAL"));
        QVERIFY(server->exec("SELECT count(*) FROM tblfriend"));

        // A client refuses to run rather than run in WAL across machines.
        App().clientMode = 1;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("shared file stays in journal mode 'wal'"));
        QVERIFY(!OpenDatabase(file));
        QVERIFY(!IsDatabaseOpen());
        QVERIFY2(LastDbError().contains("서버 컴퓨터의 네트워크 설정"), qPrintable(LastDbError()));
        server.reset();

        // Whoever opens it first as shared sets the rollback journal; everyone checks it.
        QVERIFY2(OpenDatabase(file), qPrintable(LastDbError()));
        QCOMPARE(JournalMode(), QString("delete"));
        QCOMPARE(OtherPc(file).value("PRAGMA journal_mode").toString(), QString("delete"));
        // The file is marked shared: the server's stand-alone start keeps the journal too.
        DBTerminate();
        App().clientMode = 0;
        App().sharedDatabase = false;
        QVERIFY(OpenDatabase(file));
        QCOMPARE(JournalMode(), QString("delete"));
    }

    void foreignFileIsLeftUntouched_data() {
        QTest::addColumn<QByteArrayList>("statements");
        QTest::newRow("another program's tables")
            << QByteArrayList{"CREATE TABLE invoices (id INTEGER PRIMARY KEY, total REAL)",
                              "INSERT INTO invoices (total) VALUES (12.5)"};
        QTest::newRow("our table names under another mark")
            << QByteArrayList{"PRAGMA application_id=1234", "CREATE TABLE tblfriend (code INTEGER)",
                              "CREATE TABLE options (optname TEXT, optvalue TEXT)"};
        QTest::newRow("an empty database") << QByteArrayList{"PRAGMA user_version=3"};
    }
    void foreignFileIsLeftUntouched() {
        QFETCH(QByteArrayList, statements);
        DBTerminate();
        const QString file = m_env->path("foreign.db");
        {
            OtherPc other(file, true);
            for (const QByteArray& s : statements)
                QVERIFY(other.exec(QString::fromUtf8(s)));
        }
        const QByteArray before = fileHash(file);
        for (int client : {0, 1}) {
            App().clientMode = client;
            QVERIFY(!OpenDatabase(file));
            QVERIFY2(LastDbError().contains("MemberDesk의 데이터베이스 파일이 아닙니다"), qPrintable(LastDbError()));
        }
        QCOMPARE(fileHash(file), before);
        QVERIFY(!QFile::exists(file + "-wal"));
        QVERIFY(!QFile::exists(file + "-journal"));
    }

    void newAndUpgradedFilesCarryTheMark() {
        QCOMPARE(RunSilent("PRAGMA application_id").value.toInt(), kMemberDeskApplicationId);
        // A file made before the mark existed is recognised by its tables and marked.
        QVERIFY(RunSilent("PRAGMA application_id=0").ok);
        DBTerminate();
        QVERIFY(OpenDatabase(App().dbFile));
        QVERIFY(UpgradeSchema());
        QCOMPARE(RunSilent("PRAGMA application_id").value.toInt(), kMemberDeskApplicationId);
    }

    void damagedFileIsReportedAsDamage_data() {
        QTest::addColumn<bool>("everyPage");
        QTest::newRow("every page after the first: refused at open") << true;
        QTest::newRow("the user and member tables: reported when read") << false;
    }
    void damagedFileIsReportedAsDamage() {
        QFETCH(bool, everyPage);
        for (int i = 0; i < 50; ++i)
            ExecSQL("INSERT INTO tblfriend (sname, smemo) VALUES (?, ?)",
                    {QString("회원%1").arg(i), QString(400, u'메')});
        QList<qint64> pages; // 1-based page numbers to overwrite
        const qint64 pageSize = RunSilent("PRAGMA page_size").value.toLongLong();
        const qint64 pageCount = RunSilent("PRAGMA page_count").value.toLongLong();
        if (everyPage)
            for (qint64 p = 2; p <= pageCount; ++p) pages << p;
        else
            for (const char* t : {"local_user", "tblfriend"})
                pages << RunSilent("SELECT rootpage FROM sqlite_master WHERE name = ?", {t}).value.toLongLong();
        DBTerminate();
        const QString file = App().dbFile;
        QVERIFY(!QFile::exists(file + "-wal") || QFileInfo(file + "-wal").size() == 0);
        DamagePages(file, pages, pageSize);
        const QString damage = "데이터베이스 파일이 손상되었습니다.\n파일: " + file + "\n백업해 둔 자료로 복원하세요.";
        if (everyPage) {
            QVERIFY(!OpenDatabase(file));
            QVERIFY(IsDamageCode(LastDbErrorCode()));
            QCOMPARE(LastDbError(), damage);
            return;
        }
        QVERIFY2(OpenDatabase(file), qPrintable(LastDbError()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("damaged database"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("GetScalar failed"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("damaged database"));
        GetScalar("SELECT COUNT(*) FROM local_user WHERE loginid = 'ADMIN'");
        QVERIFY(LastStatementFailed());
        QVERIFY(IsDamageCode(LastDbErrorCode()));
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT * FROM tblfriend"), -1);
        // One message, naming the file and the way out; no English error box after it.
        QCOMPARE(m_env->prompt().texts(), QStringList{damage});
    }
};

QTEST_MAIN(TestDataSafety)
#include "tst_datasafety.moc"
