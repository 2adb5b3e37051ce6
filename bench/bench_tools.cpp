// Tools on generated data, each window step next to the bare query it runs: month and day
// schedule views over 10,000 entries of one user (a tenth repeating), zip search in
// 50,000 rows, backup/verify/restore of a database of about 200 MB, clearing 200,000
// ledger entries.
#include "TestEnv.h"

#include "core/AppState.h"
#include "db/Database.h"
#include "db/FileDatabase.h"
#include "db/SchemaUpgrade.h"
#include "tools/BackupArchive.h"
#include "tools/ClearData.h"
#include "tools/FrmTool_SCED.h"
#include "tools/FrmTool_SCED_sub.h"
#include "tools/Schedules.h"
#include "tools/ZipCode.h"
#include "tools/frmZipcode.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <memory>

namespace {
TestEnv* g_env = nullptr;
QTemporaryDir* g_work = nullptr;

void generateSchedules() {
    Transaction tx;
    for (int i = 0; i < 10000; ++i) {
        const QDate d = QDate(2020, 1, 1).addDays(i % 2500);
        ExecSQL("INSERT INTO schedules (ocode, sdate, stime, note, hidden, cyclic) VALUES (1, ?, "
                "?, ?, 0, ?)",
                {d.toString("yyyy-MM-dd"), QString("%1:00").arg(i % 24, 2, 10, QChar('0')),
                 QString("일정 %1").arg(i), i % 10 == 0 ? 1 + (i / 10) % 3 : 0});
    }
    tx.commit();
}

void generatePost() {
    static const char* const dongs[] = {"역삼", "삼성", "대치",   "도곡", "개포",
                                        "논현", "신사", "압구정", "청담", "세곡"};
    QVector<QVariantList> rows;
    for (int i = 0; i < 50000; ++i)
        rows.push_back({QString("%1").arg(100000 + i * 13 % 900000, 6, 10, QChar('0')), "서울",
                        QString("%1구").arg(i % 25),
                        QString::fromUtf8(dongs[i % 10]) + QString::number(i % 500) + "동",
                        QString("%1~%2").arg(i).arg(i + 9)});
    BuildDatabaseFile(PostDatabasePath(), PostSchemaStatements(),
                      "INSERT INTO Post (ZIPCODE, SIDO, GUGUN, DONG, BUNJI) VALUES (?,?,?,?,?)",
                      rows);
}

void BM_MonthBare(benchmark::State& s) {
    for (auto _ : s) {
        Recordset rs;
        OpenRecordset(
            rs,
            "SELECT * FROM schedules WHERE (sdate >= ? AND sdate <= ? OR cyclic > 0) AND ocode = ? "
            "ORDER BY cyclic, sdate, stime, seq",
            {"2024-05-01", "2024-05-31", 1});
        benchmark::DoNotOptimize(rs.recordCount());
    }
}
void BM_MonthEntries(benchmark::State& s) {
    for (auto _ : s)
        benchmark::DoNotOptimize(SchedulesOfMonth(2024, 5, 1, false).size());
}
void BM_MonthWindow(benchmark::State& s) {
    FrmTool_SCED w;
    for (auto _ : s)
        w.showMonth(2024, 5);
}
void BM_DayBare(benchmark::State& s) {
    for (auto _ : s) {
        Recordset rs;
        OpenRecordset(rs,
                      "SELECT * FROM schedules WHERE (sdate = ? OR cyclic > 0) AND ocode = ? ORDER "
                      "BY cyclic, sdate, stime, seq",
                      {"2024-05-15", 1});
        benchmark::DoNotOptimize(rs.recordCount());
    }
}
void BM_DayWindow(benchmark::State& s) {
    FrmTool_SCED_sub w;
    for (auto _ : s)
        w.SetDate(QDate(2024, 5, 15));
}

void BM_ZipBare(benchmark::State& s) {
    FileConnection c;
    c.open(PostDatabasePath());
    QVector<QVector<QVariant>> rows;
    const bool byCode = s.range(0);
    for (auto _ : s)
        c.select(byCode ? "SELECT ZIPCODE, SIDO, GUGUN, DONG, BUNJI FROM Post WHERE ZIPCODE = ? "
                          "ORDER BY ZIPCODE"
                        : "SELECT ZIPCODE, SIDO, GUGUN, DONG, BUNJI FROM Post WHERE DONG >= ? AND "
                          "DONG < ? ORDER BY ZIPCODE",
                 byCode ? QVariantList{"100013"}
                        : QVariantList{"역삼", QString("역삼") + QString::fromUcs4(U"\U0010FFFF")},
                 rows);
    s.counters["rows"] = rows.size();
}
void BM_ZipSearch(benchmark::State& s) {
    PostDatabase db;
    db.open(PostDatabasePath());
    QVector<ZipRow> rows;
    for (auto _ : s)
        db.search(s.range(0) ? "100-013" : "역삼", rows);
    s.counters["rows"] = rows.size();
    s.SetLabel(db.searchPlan(s.range(0) ? "100-013" : "역삼").join("; ").toStdString());
}
void BM_ZipWindow(benchmark::State& s) {
    frmZipcode w;
    auto* input = w.findChild<QLineEdit*>("txtInput");
    input->setText(s.range(0) ? "100-013" : "역삼");
    for (auto _ : s)
        w.RefreshSheet();
}

// ---- backup ----
QString g_bigFolder;
// About 200 MB of rows as an office collects them over years: members with addresses and
// notes, trades with their lines, ledger entries, all with the program's own indexes (the
// integrity check reads every index too). Text mixes repeating words with random parts,
// so it compresses about as well as real data does.
// MEMBERDESK_BENCH_BIGDB=<file>: the generated database is kept in that file and taken
// from there on the next run (generating it takes about a minute).
void makeBigDatabase() {
    g_bigFolder = g_work->filePath("big");
    QDir().mkpath(g_bigFolder);
    const QString kept = qEnvironmentVariable("MEMBERDESK_BENCH_BIGDB");
    if (!kept.isEmpty() && QFile::copy(kept, g_bigFolder + "/dbMain.db")) return;
    QFile::copy(App().dbFile, g_bigFolder + "/dbMain.db");
    const QString rows =
        "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < %1) ";
    const QString day = "date('2012-01-01', '+' || (i % 5000) || ' days')";
    const QString phone = "'010-' || printf('%04d', abs(random()) % 10000) || '-' || "
                          "printf('%04d', abs(random()) % 10000)";
    BuildDatabaseFile(
        g_bigFolder + "/dbMain.db",
        {rows.arg(32000) +
             "INSERT INTO tblfriend (sname, ctblgroup, hpline, hline1, homeadd, homeadd2, hzipno, "
             "comname, mail, "
             "insertday, barthday, codeno, smemo) SELECT '회원' || i, 1 + i % 20, " +
             phone +
             ", '02-' || (1000 + i % 9000) || '-' || "
             "printf('%04d', i % 10000), '서울특별시 ' || (i % 25) || '구 ' || (i % 300) || '로 ' "
             "|| (i % 97), (i % 20) || '동 ' || "
             "(i % 1500) || '호', printf('%05d', abs(random()) % 100000), '주식회사 ' || (i % "
             "3000), 'member' || i || "
             "'@example.com', " +
             day + ", " + day + ", printf('M%06d', i), '메모 ' || hex(randomblob(40)) FROM c",
         rows.arg(380000) +
             "INSERT INTO tbltrade (sdate, ctblfriend, sintime, souttime, dmoney, dcard, ctblcard, "
             "lpoint, cardchk, smemo) "
             "SELECT " +
             day +
             ", 2 + i % 32000, printf('%02d:%02d', i % 24, i % 60), '', (i % 200) * 1000, (i % 7) "
             "* 500, 1, "
             "i % 50, '', CASE WHEN i % 5 = 0 THEN '현금 결제 ' || hex(randomblob(8)) ELSE '' END "
             "FROM c",
         rows.arg(650000) + "INSERT INTO tbltradesub (ctbltrade, ctblservice, servicename, "
                            "lnumber, dmoney, dsum, smemo) "
                            "SELECT 1 + i % 380000, 1, '서비스 ' || (i % 40), 1 + i % 3, (i % 90) "
                            "* 500, (i % 90) * 500 * (1 + i % 3), '' FROM c",
         rows.arg(480000) +
             "INSERT INTO tbljangbu (sdate, sectionclass, ctblitem, cgroupin, cgroupout, "
             "ctblusename, smoney, smemo) "
             "SELECT " +
             day +
             ", CASE i % 3 WHEN 0 THEN '입금' WHEN 1 THEN '출금' ELSE '대체' END, '항목' || (i % "
             "80), "
             "1 + i % 6, 1 + i % 4, 1 + i % 30, (abs(random()) % 500000), '거래처 ' || (i % 2000) "
             "|| ' ' || "
             "hex(randomblob(6)) FROM c"});
    if (!kept.isEmpty()) QFile::copy(g_bigFolder + "/dbMain.db", kept);
}
// The longest time between two progress reports, and where it was (percent and stage
// after the gap), so a slow step shows up by name; and the longest time the window showed
// the same percentage and stage (what the person sees stand still).
double g_maxGapMs = 0, g_maxStillMs = 0;
std::string g_gapAt, g_stillAt;
BackupProgress gapMeter() {
    struct Meter {
        QElapsedTimer call, change;
        int percent = -1;
        QString stage;
    };
    auto m = std::make_shared<Meter>();
    m->call.start();
    m->change.start();
    g_maxGapMs = g_maxStillMs = 0;
    g_gapAt.clear();
    g_stillAt.clear();
    return [m](int percent, const QString& stage) {
        const double gap = double(m->call.restart());
        if (gap > g_maxGapMs) {
            g_maxGapMs = gap;
            g_gapAt = QString("%1% %2").arg(percent).arg(stage).toStdString();
        }
        if (percent != m->percent || stage != m->stage) {
            const double still = double(m->change.restart());
            if (still > g_maxStillMs) {
                g_maxStillMs = still;
                g_stillAt = QString("%1% %2").arg(m->percent).arg(m->stage).toStdString();
            }
            m->percent = percent;
            m->stage = stage;
        }
        return true;
    };
}
// CPU seconds of every thread of the process so far (the backup works on two cores).
double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
// CPU seconds of each thread while a step runs, sampled from /proc every 20 ms: the sum
// over all threads and the thread that worked longest (the step's critical path on an idle
// machine with enough cores).
class ThreadCpu {
public:
    ThreadCpu() : m_sampler([this] { loop(); }) {}
    ~ThreadCpu() { stop(); }
    void stop() {
        if (!m_sampler.joinable()) return;
        m_stop = true;
        m_sampler.join();
        sample();
    }
    double longest() const {
        double most = 0;
        for (double v : m_cpu) most = std::max(most, v);
        return most;
    }
    double threads() const { return double(m_cpu.size()); }

private:
    void loop() {
        m_self = QString::number(gettid());
        while (!m_stop) {
            sample();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    void sample() {
        const long tick = sysconf(_SC_CLK_TCK);
        for (const QString& tid : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (tid == m_self) continue;
            QFile f("/proc/self/task/" + tid + "/stat");
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QByteArray line = f.readAll();
            // Fields after the command name in brackets: utime and stime are the 12th and 13th.
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() < 13) continue;
            const double cpu = (fields[11].toDouble() + fields[12].toDouble()) / tick;
            if (!m_start.contains(tid)) m_start[tid] = m_seenBefore ? 0 : cpu;
            m_cpu[tid] = cpu - m_start[tid];
        }
        m_seenBefore = true;
    }
    QHash<QString, double> m_start, m_cpu;
    bool m_seenBefore = false;
    QString m_self;
    std::atomic<bool> m_stop{false};
    std::thread m_sampler;
};
void reportThreads(benchmark::State& s, ThreadCpu& t) {
    t.stop();
    s.counters["cpu_longest_thread_s"] = t.longest();
    s.counters["threads"] = t.threads();
}
void BM_BackupSnapshot(benchmark::State& s) {
    for (auto _ : s)
        SnapshotDatabase(g_bigFolder + "/dbMain.db", g_work->filePath("snap.db"));
    s.counters["MB"] = QFileInfo(g_bigFolder + "/dbMain.db").size() / 1e6;
}
// The integrity check on one connection and split over two (the backup's way).
void BM_BackupCheck(benchmark::State& s) {
    ThreadCpu threads;
    const double cpu0 = processCpuSeconds();
    int ticks = 0;
    for (auto _ : s)
        CheckDatabaseFile(g_work->filePath("snap.db"), {"tblfriend"}, [&] { ++ticks; }, int(s.range(0)));
    s.counters["cpu_all_threads_s"] = processCpuSeconds() - cpu0;
    // What the progress estimate of the check expects per megabyte (kCheckTicksPerMB).
    s.counters["ticks_per_MB"] = ticks / (QFileInfo(g_work->filePath("snap.db")).size() / 1e6);
    reportThreads(s, threads);
}
void BM_BackupCompress(benchmark::State& s) {
    ThreadCpu threads;
    for (auto _ : s)
        WriteZip(g_work->filePath("plain.zip"), {{"dbMain.db", g_work->filePath("snap.db")}});
    reportThreads(s, threads);
}
void BM_BackupVerify(benchmark::State& s) {
    ThreadCpu threads;
    const double cpu0 = processCpuSeconds();
    for (auto _ : s)
        VerifyBackupArchive(g_work->filePath("full.zip"), nullptr, nullptr, gapMeter());
    s.counters["cpu_all_threads_s"] = processCpuSeconds() - cpu0;
    s.counters["max_progress_gap_ms"] = g_maxGapMs;
    s.counters["max_still_ms"] = g_maxStillMs;
    s.SetLabel("longest gap before " + g_gapAt + ", longest still at " + g_stillAt);
    reportThreads(s, threads);
}
// closed_ms: from the start until the database is copied, the time MemberDesk stays closed.
void BM_BackupWhole(benchmark::State& s) {
    ThreadCpu threads;
    const double cpu0 = processCpuSeconds();
    double closedMs = 0;
    for (auto _ : s) {
        QFile::remove(g_work->filePath("full.zip"));
        QElapsedTimer closed;
        closed.start();
        WriteBackupArchive(g_bigFolder, g_work->filePath("full.zip"), gapMeter(), nullptr,
                           [&] { closedMs = double(closed.elapsed()); });
    }
    s.counters["cpu_all_threads_s"] = processCpuSeconds() - cpu0;
    s.counters["closed_ms"] = closedMs;
    s.counters["max_progress_gap_ms"] = g_maxGapMs;
    s.counters["max_still_ms"] = g_maxStillMs;
    s.SetLabel("longest gap before " + g_gapAt + ", longest still at " + g_stillAt);
    reportThreads(s, threads);
}
void BM_Restore(benchmark::State& s) {
    ThreadCpu threads;
    const double cpu0 = processCpuSeconds();
    for (auto _ : s)
        RestoreBackupArchive(g_work->filePath("full.zip"), g_bigFolder, g_work->filePath("kept"),
                             gapMeter());
    s.counters["cpu_all_threads_s"] = processCpuSeconds() - cpu0;
    s.counters["max_progress_gap_ms"] = g_maxGapMs;
    s.counters["max_still_ms"] = g_maxStillMs;
    s.SetLabel("longest gap before " + g_gapAt + ", longest still at " + g_stillAt);
    reportThreads(s, threads);
}

// ---- clearing ----
void fillLedger() {
    RunSilent("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 200000) "
              "INSERT INTO tbljangbu (sdate) SELECT '2024-01-01' FROM c");
}
void BM_ClearBare(benchmark::State& s) {
    for (auto _ : s) {
        s.PauseTiming();
        fillLedger();
        s.ResumeTiming();
        // The ledger's totals by date and section go with it, the cheapest way.
        Transaction tx;
        DeleteAllLedgerEntries();
        tx.commit();
    }
}
void BM_ClearData(benchmark::State& s) {
    for (auto _ : s) {
        s.PauseTiming();
        fillLedger();
        s.ResumeTiming();
        ClearAccountingData();
    }
}
} // namespace

BENCHMARK(BM_MonthBare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthEntries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayBare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZipBare)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZipSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZipWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackupSnapshot)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackupCheck)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackupCompress)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackupWhole)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackupVerify)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Restore)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearBare)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearData)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_env = new TestEnv;
    g_work = new QTemporaryDir;
    generateSchedules();
    generatePost();
    makeBigDatabase();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_work;
    delete g_env;
    return 0;
}
