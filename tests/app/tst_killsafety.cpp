// Processes killed at random points: a first start, saves in progress and the sealing of
// an older database. The test program is its own child process. (Two processes handing out
// management numbers at once: tst_twopcs.)
#include "TestEnv.h"

#include "app/Startup.h"
#include "core/AppState.h"
#include "core/PrivateData.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/SchemaUpgrade.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <functional>

namespace {

int childFirstStart(const QString& data, const QString& config) {
    Settings::setConfigDir(config);
    ResetAppState(data);
    Startup s;
    if (!s.run()) return 1;
    DBTerminate();
    return 0;
}

// Saves trades with one line each in a loop, acknowledging each after its commit.
int childSaver(const QString& file) {
    if (!OpenDatabase(file)) return 1;
    for (int i = 1;; ++i) {
        Transaction t;
        if (ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, smemo) VALUES ('2026-12-07', 1, ?)",
                    {QString::number(i)}) != 1)
            return 2;
        if (ExecSQL("INSERT INTO tbltradesub (ctbltrade, dsum) VALUES (?, ?)", {LastIdentity(), i}) != 1) return 3;
        if (!t.commit()) return 4;
        std::printf("ack %d\n", i);
        std::fflush(stdout);
    }
}

QString self() { return QCoreApplication::applicationFilePath(); }

void clearFolder(const QString& path) {
    QDir(path).removeRecursively();
    QDir().mkpath(path);
}

} // namespace

class TestKillSafety : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

    // Times a whole first start in a child process, then starts children again and kills
    // each at a random point until `wanted` starts were cut short (at most `rounds` tries;
    // kills that land after the child finished do not count). `before` readies each try,
    // `after` checks what the kill left.
    void killFirstStarts(int wanted, int rounds, quint32 seed, const std::function<void()>& before,
                         const std::function<void(int round)>& after) {
        const QStringList args{"--child-first-start", env->dataDir(), env->configDir()};
        QElapsedTimer timer;
        timer.start();
        {
            QProcess p;
            p.start(self(), args);
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), 0);
        }
        int full = int(timer.elapsed());
        QRandomGenerator rng(seed);
        int cutShort = 0;
        for (int round = 0; cutShort < wanted && round < rounds; ++round) {
            before();
            if (QTest::currentTestFailed()) return;
            QProcess child;
            child.start(self(), args);
            QVERIFY(child.waitForStarted());
            QThread::usleep(rng.bounded(full * 900));
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            if (child.exitStatus() == QProcess::CrashExit)
                ++cutShort;
            else // the start was quicker than the first one (a busy machine): aim earlier
                full = qMax(2, full * 3 / 4);
            after(round);
            if (QTest::currentTestFailed()) return;
        }
        QVERIFY2(cutShort >= wanted, qPrintable(QString("only %1 starts were cut short").arg(cutShort)));
    }

private slots:
    void init() { env = std::make_unique<TestEnv>(false); }
    void cleanup() {
        DBTerminate();
        env.reset();
    }

    void interruptedFirstStartRecovers() {
        const QString data = env->dataDir();
        killFirstStarts(
            50, 200, 42,
            [&] {
                clearFolder(data);
                clearFolder(env->configDir());
            },
            [&](int round) {
                // The next start recovers, silently, whatever point the kill hit.
                ResetAppState(data);
                Startup s;
                QVERIFY2(s.run(), qPrintable(QString("round %1: %2").arg(round).arg(env->prompt().texts().join(" | "))));
                QCOMPARE(GetScalar("SELECT loginid FROM local_user WHERE code = '00'").toString(), QString("ADMIN"));
                QCOMPARE(RunSilent("PRAGMA integrity_check").value.toString(), QString("ok"));
                DBTerminate();
                QVERIFY2(env->prompt().texts().isEmpty(), qPrintable(env->prompt().texts().join(" | ")));
            });
    }

    void killedSavesLoseNothing() {
        ResetAppState(env->dataDir());
        Startup s;
        QVERIFY(s.run());
        const QString file = App().dbFile;
        DBTerminate();
        QRandomGenerator rng(7);
        QSet<int> acked;
        for (int round = 0; round < 10; ++round) {
            QProcess child;
            child.start(self(), {"--child-saver", file});
            QVERIFY(child.waitForStarted());
            const int stopAfter = 5 + rng.bounded(60);
            int seen = 0;
            const auto readAcks = [&] {
                while (child.canReadLine()) {
                    const QByteArray line = child.readLine().trimmed();
                    if (line.startsWith("ack ")) {
                        ++seen;
                        acked.insert(round * 100000 + line.mid(4).toInt());
                    }
                }
            };
            while (seen < stopAfter && child.state() == QProcess::Running) {
                child.waitForReadyRead(2000);
                readAcks();
            }
            QVERIFY(seen > 0);
            QThread::usleep(rng.bounded(3000));
            child.kill();
            child.waitForFinished(10000);
            readAcks(); // saves committed before the kill landed
            // The file is sound, and every acknowledged trade is there with its line.
            QVERIFY(OpenDatabase(file));
            QCOMPARE(RunSilent("PRAGMA integrity_check").value.toString(), QString("ok"));
            Recordset rs;
            QVERIFY(OpenRecordset(rs,
                                  "SELECT t.smemo, COUNT(s.code) FROM tbltrade AS t "
                                  "LEFT JOIN tbltradesub AS s ON s.ctbltrade = t.code "
                                  "WHERE t.sdate = '2026-12-07' GROUP BY t.code, t.smemo") >= 0);
            QSet<int> stored;
            for (int r = 0; r < rs.recordCount(); ++r) {
                QCOMPARE(rs.row(r).value(1).toInt(), 1); // never a trade without its line
                stored.insert(rs.row(r).value(0).toInt());
            }
            for (int a : acked)
                if (a / 100000 == round)
                    QVERIFY2(stored.contains(a % 100000), qPrintable(QString::number(a)));
            // The next round counts its own rows.
            QVERIFY(ExecSQL("UPDATE tbltrade SET sdate = '2026-12-06' WHERE sdate = '2026-12-07'") >= 0);
            DBTerminate();
        }
    }

    // Plain passwords and resident numbers of an older database are sealed in one
    // transaction: a start killed at any point leaves the old database or the converted
    // one, never a mix, and the next start finishes the job.
    void killedConversionLeavesOldOrNew() {
        const QString data = env->dataDir();
        const int members = 3000;
        ResetAppState(data);
        {
            Startup s;
            QVERIFY(s.run());
        }
        const QString file = App().dbFile, key = DataKeyPath(), pristine = data + "/old.db";
        QVERIFY(SetOption("DBVer", "5"));
        QVERIFY(RunSilent("DELETE FROM options WHERE optname = 'DataKeyCheck'").ok);
        QCOMPARE(ExecSQL("UPDATE local_user SET loginpwd = 'o''ld' WHERE code = '00'"), 1);
        {
            Transaction t;
            for (int i = 0; i < members; ++i)
                ExecSQL("INSERT INTO tblfriend (sname, idno) VALUES (?, ?)",
                        {QString::number(i), QString("900101-1%1").arg(i, 6, 10, QChar('0'))});
            QVERIFY(t.commit());
        }
        DBTerminate();
        QVERIFY(QFile::copy(file, pristine));
        auto restoreOld = [&] {
            RemoveDatabaseFiles(file);
            QFile::remove(key);
            DataKey::clear();
            return QFile::copy(pristine, file);
        };
        auto count = [](const char* where) { return CountRows("tblfriend", where); };
        killFirstStarts(12, 60, 7, [&] { QVERIFY(restoreOld()); }, [&](int round) {
            QVERIFY(OpenDatabase(file));
            const QString pwd = GetScalar("SELECT loginpwd FROM local_user WHERE code = '00'").toString();
            if (GetOption("DBVer", "") == "5") {
                QCOMPARE(count("substr(idno, 1, 5) = 'enc1:'"), 0);
                QCOMPARE(pwd, QString("o'ld"));
            } else {
                QCOMPARE(GetOption("DBVer", ""), QString::number(kSchemaVersion));
                QCOMPARE(count("substr(idno, 1, 5) <> 'enc1:'"), 1); // the fixed row
                QVERIFY(IsPasswordHash(pwd));
            }
            QCOMPARE(RunSilent("PRAGMA integrity_check").value.toString(), QString("ok"));
            DBTerminate();

            ResetAppState(data);
            DataKey::clear();
            Startup s;
            QVERIFY2(s.run(), qPrintable(QString("round %1").arg(round)));
            QCOMPARE(count("substr(idno, 1, 5) = 'enc1:'"), members);
            QVERIFY(PasswordMatches(GetScalar("SELECT loginpwd FROM local_user WHERE code = '00'").toString(), "o'ld"));
            QCOMPARE(DecryptIdNo(GetScalar("SELECT idno FROM tblfriend WHERE sname = '7'").toString()),
                     QString("900101-1000007"));
            DBTerminate();
            env->prompt().clear();
        });
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == "--child-first-start") return childFirstStart(args[2], args[3]);
    if (args.size() == 3 && args[1] == "--child-saver") return childSaver(args[2]);
    if (args.size() > 1 && args[1].startsWith("--child-")) return 9;
    TestKillSafety t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_killsafety.moc"
