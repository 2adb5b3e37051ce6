// Sales windows on a generated database: 100,000 members, 300,000 trades over ten years,
// 1,000,000 trade lines, one member with 1,000 trades, a third of the trades paid by card.
// Every window step runs next to the bare query it is built on.
#include "BenchRatio.h"
#include "TestEnv.h"

#include "db/Database.h"
#include "sales/TradeStore.h"
#include "sales/frmCardCheck.h"
#include "sales/frmFriend_Trade.h"
#include "sales/frmTrade.h"
#include "sales/frmTradeMoney.h"
#include "ui/Grid.h"
#include "ui/HCTerm.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QFile>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int kMembers = 100000;
constexpr int kTrades = 300000;
constexpr int kHeavyTrades = 1000;
constexpr int kLines = 1000000;
const QString kMonthFrom = QStringLiteral("2026-06-01"), kMonthTo = QStringLiteral("2026-06-30");
const QString kYearFrom = QStringLiteral("2026-01-01"), kYearTo = QStringLiteral("2026-12-31");
int g_heavy = 0;
int g_heavyTrade = 0;

void generate()
{
    Transaction tx;
    for (int c = 0; c < 8; ++c)
        ExecSQL("INSERT INTO tblcard (sname, dfee) VALUES (?, ?)", {QString("카드%1").arg(c), 1.5 + c * 0.25});
    for (int s = 0; s < 200; ++s)
        ExecSQL("INSERT INTO tblservice (sname, smoney, spoint) VALUES (?, ?, 10)", {QString("서비스%1").arg(s), 1000 + s * 500});
    for (int i = 0; i < kMembers; ++i)
        ExecSQL("INSERT INTO tblfriend (sname, hpline) VALUES (?, ?)",
                {QString("회원%1").arg(i), QString("010-%1-%2").arg(1000 + i % 9000).arg(i % 10000, 4, 10, QChar('0'))});
    g_heavy = 2 + 777;
    const QDate first(2017, 1, 1);
    for (int t = 0; t < kTrades; ++t) {
        const bool heavy = t % (kTrades / kHeavyTrades) == 0;
        const int member = heavy ? g_heavy : 2 + (t * 7919) % kMembers;
        const QString date = first.addDays(t * 3652 / kTrades).toString("yyyy-MM-dd");
        const bool card = t % 3 == 0;
        ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, dmoney, dcard, ctblcard, lstackpoint, sintime, cardchk) "
                "VALUES (?, ?, ?, ?, ?, ?, '10:00', ?)",
                {date, member, card ? 0 : 10000, card ? 10000 : 0, card ? 2 + t % 8 : 1, 100,
                 card && t % 2 ? date : QString()});
        if (heavy)
            g_heavyTrade = LastIdentity();
    }
    for (int l = 0; l < kLines; ++l) {
        const int trade = 1 + int((qint64(l) * kTrades) / kLines);
        const int service = 2 + l % 200;
        ExecSQL("INSERT INTO tbltradesub (ctbltrade, ctblservice, servicename, lnumber, dmoney, dsum) "
                "VALUES (?, ?, ?, 1, 3000, 3000)",
                {trade, service, QString("서비스%1").arg(service - 2)});
    }
    tx.commit();
}

frmTrade* g_trade = nullptr;
frmFriend_Trade* g_view = nullptr;
frmTradeMoney* g_money = nullptr;
frmCardCheck* g_cards = nullptr;
} // namespace

static void BM_TradeMonth_Sql(benchmark::State& s)
{
    for (auto _ : s)
        benchmark::DoNotOptimize(LoadTrades(kMonthFrom, kMonthTo).size());
}
static void BM_TradeMonth_Window(benchmark::State& s)
{
    g_trade->period()->SetText1(kMonthFrom);
    g_trade->period()->SetText2(kMonthTo);
    for (auto _ : s)
        g_trade->query();
    s.counters["rows"] = g_trade->list()->maxRows();
}
static void BM_MemberFilter_Sql(benchmark::State& s)
{
    for (auto _ : s)
        benchmark::DoNotOptimize(LoadTrades({}, {}, g_heavy).size());
}
static void BM_MemberFilter_Window(benchmark::State& s)
{
    for (auto _ : s) {
        s.PauseTiming();
        g_trade->memberFilter()->setChecked(false);
        const int row = g_trade->list()->searchCol(frmTrade::CFriend, 1, -1, QString::number(g_heavy));
        g_trade->list()->setActiveCell(frmTrade::CDate, row);
        s.ResumeTiming();
        g_trade->memberFilter()->setChecked(true);
    }
    s.counters["rows"] = g_trade->list()->maxRows();
}
static void BM_MemberTradeView_Sql(benchmark::State& s)
{
    for (auto _ : s) {
        Recordset rs;
        benchmark::DoNotOptimize(OpenRecordset(rs, MemberTradeLinesSql(), {g_heavy, g_heavy}));
    }
}
static void BM_MemberTradeView_Window(benchmark::State& s)
{
    for (auto _ : s)
        g_view->SetFormMode(g_heavy);
    s.counters["rows"] = g_view->list()->maxRows();
}
static void BM_PaymentOpen_Sql(benchmark::State& s)
{
    for (auto _ : s) {
        benchmark::DoNotOptimize(LoadTrade(g_heavyTrade).code);
        benchmark::DoNotOptimize(FriendBalance(g_heavy, g_heavyTrade));
        benchmark::DoNotOptimize(FriendPointBalance(g_heavy, g_heavyTrade));
    }
}
static void BM_PaymentOpen_Window(benchmark::State& s)
{
    for (auto _ : s)
        g_money->open(g_heavyTrade, g_heavy);
}
static void BM_CardCheckYear_Sql(benchmark::State& s)
{
    for (auto _ : s) {
        Recordset rs;
        benchmark::DoNotOptimize(OpenRecordset(rs, CardCheckSql(false), {kYearFrom, kYearTo}));
    }
}
static void BM_CardCheckYear_Window(benchmark::State& s)
{
    g_cards->period()->SetText1(kYearFrom);
    g_cards->period()->SetText2(kYearTo);
    for (auto _ : s)
        g_cards->query();
    s.counters["rows"] = g_cards->list()->maxRows();
}

BENCHMARK(BM_TradeMonth_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TradeMonth_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemberFilter_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemberFilter_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemberTradeView_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemberTradeView_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaymentOpen_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaymentOpen_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CardCheckYear_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CardCheckYear_Window)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
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
    g_trade = new frmTrade;
    g_view = new frmFriend_Trade;
    g_money = new frmTradeMoney;
    g_cards = new frmCardCheck;
    benchmark::Initialize(&argc, argv);
    RatioReporter ratios;
    ratios.pair("BM_TradeMonth_Window", "BM_TradeMonth_Sql");
    ratios.pair("BM_MemberFilter_Window", "BM_MemberFilter_Sql");
    ratios.pair("BM_MemberTradeView_Window", "BM_MemberTradeView_Sql");
    ratios.pair("BM_PaymentOpen_Window", "BM_PaymentOpen_Sql");
    ratios.pair("BM_CardCheckYear_Window", "BM_CardCheckYear_Sql");
    benchmark::RunSpecifiedBenchmarks(&ratios);
    benchmark::Shutdown();
    delete g_cards;
    delete g_money;
    delete g_view;
    delete g_trade;
    return 0;
}
