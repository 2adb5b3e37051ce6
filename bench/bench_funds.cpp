// Group funds on a generated database: 100,000 members in 50 monthly groups (2,000 each),
// a year of dues for every member, 20,000 income and expense lines and 60,000 detail
// lines. Each window step beside the bare queries it runs.
#include "BenchRatio.h"
#include "TestEnv.h"

#include "db/Database.h"
#include "members/FundStore.h"
#include "members/frmAffairs.h"
#include "members/frmGroupBalance.h"
#include "ui/HCTerm.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int kMembers = 100000;
constexpr int kGroups = 50;
constexpr int kLines = 20000;
constexpr int kDetails = 60000;
constexpr int kYear = 2026;
frmAffairs* g_window = nullptr;
frmGroupBalance* g_balance = nullptr;
int g_group = 0; // the window's group: the first one

void generate() {
    Transaction tx;
    for (int g = 1; g <= kGroups; ++g)
        ExecSQL("INSERT INTO tblgroup (gname, repeatclass, settlementday, settlementmon) VALUES "
                "(?, '00000', '10', 10000)",
                {QString("그룹%1").arg(g)});
    g_group = GetScalar("SELECT MIN(code) FROM tblgroup WHERE code <> 1").toInt();
    for (int i = 0; i < kMembers; ++i) {
        const int group = g_group + i % kGroups;
        ExecSQL("INSERT INTO tblfriend (sname, ctblgroup, feestart) VALUES (?, ?, '2025-01-01')",
                {QString("회원%1").arg(i), group});
        const int member = LastIdentity();
        for (int m = 1; m <= 12; ++m)
            ExecSQL("INSERT INTO tblgroupmon (ctblfriend, ctblgroup, smoney, inoutclass, sdate, "
                    "smonth) VALUES (?, ?, 10000, '0', ?, ?)",
                    {member, group, QString("%1-%2-05").arg(kYear).arg(m, 2, 10, QChar('0')),
                     QString("%1-%2").arg(kYear).arg(m, 2, 10, QChar('0'))});
    }
    for (int i = 0; i < kLines; ++i) {
        const QString kind = i % 2 ? "2" : "1";
        ExecSQL("INSERT INTO tblgroupmon (ctblgroup, sdate, ctblaffairsnote, smoney, smemo, "
                "inoutclass) VALUES (?, ?, '항목', 5000, '메모', ?)",
                {g_group + i % kGroups,
                 QString("%1-%2-%3")
                     .arg(kYear)
                     .arg(i % 12 + 1, 2, 10, QChar('0'))
                     .arg(i % 28 + 1, 2, 10, QChar('0')),
                 kind});
    }
    Recordset rs;
    OpenRecordset(rs, "SELECT code FROM tblgroupmon WHERE inoutclass = '2'");
    for (int i = 0; i < kDetails; ++i)
        ExecSQL("INSERT INTO tblsubdata (ctblgroupmon, bigo, smoney, smemo) VALUES (?, '내역', "
                "1000, '')",
                {rs.row(i % rs.recordCount())[0]});
    tx.commit();
}

int bareDues() {
    Recordset rs;
    const int n = OpenRecordset(rs,
                                "SELECT sname, code, feestart FROM tblfriend WHERE code <> 1 AND "
                                "ctblgroup = ? AND hidden = 0 ORDER BY code",
                                {g_group});
    return n + int(DuesPayments(g_group, kYear).size());
}

int bareLines() {
    return int(FundLines(g_group, "1", "2026-01-01", "2026-12-31").size() +
               FundLines(g_group, "2", "2026-01-01", "2026-12-31").size());
}
} // namespace

static void BM_DuesIncomeExpense_Sql(benchmark::State& s) {
    for (auto _ : s)
        benchmark::DoNotOptimize(bareDues() + bareLines());
}
// The whole window for a 2,000-member group over 12 months: dues sheet, income, expenses.
static void BM_DuesIncomeExpense_Window(benchmark::State& s) {
    for (auto _ : s)
        g_window->UpdateAffairs();
}
static void BM_IncomeExpense_Sql(benchmark::State& s) {
    for (auto _ : s)
        benchmark::DoNotOptimize(bareLines());
}
// The income and expense sheets again for a changed period, as the window reloads them.
static void BM_IncomeExpense_Window(benchmark::State& s) {
    for (auto _ : s)
        emit g_window->findChild<HCTerm*>("htDate")->Change();
}
static void BM_Balance_Sql(benchmark::State& s) {
    for (auto _ : s)
        benchmark::DoNotOptimize(GroupFundTotals(g_group).balance());
}
static void BM_Balance_Window(benchmark::State& s) {
    for (auto _ : s)
        g_balance->showGroup(g_group, "그룹1");
}
BENCHMARK(BM_DuesIncomeExpense_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DuesIncomeExpense_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IncomeExpense_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IncomeExpense_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Balance_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Balance_Window)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto env = std::make_unique<TestEnv>();
    generate();
    // MEMBERDESK_BENCH_KEEP=<file>: keep a copy of the generated database for looking at
    // query plans with the sqlite3 shell.
    const QString keep = qEnvironmentVariable("MEMBERDESK_BENCH_KEEP");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        ExecSQL("VACUUM INTO ?", {keep});
    }
    g_window = new frmAffairs;
    g_balance = new frmGroupBalance;
    benchmark::Initialize(&argc, argv);
    RatioReporter ratios;
    ratios.pair("BM_DuesIncomeExpense_Window", "BM_DuesIncomeExpense_Sql");
    ratios.pair("BM_IncomeExpense_Window", "BM_IncomeExpense_Sql");
    ratios.pair("BM_Balance_Window", "BM_Balance_Sql");
    benchmark::RunSpecifiedBenchmarks(&ratios);
    benchmark::Shutdown();
    delete g_balance;
    delete g_window;
    return 0;
}
