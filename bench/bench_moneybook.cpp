// The money book on a generated database of 200,000 ledger entries over five years in all
// ten sections, 20 bank accounts, 10 cards, 500 usage places and 200 categories: every
// window step next to the bare query it runs.
#include "BenchRatio.h"
#include "TestEnv.h"

#include "db/Database.h"
#include "db/DatabaseStats.h"
#include "moneybook/AccountWindow.h"
#include "moneybook/frmBalance.h"
#include "moneybook/frmBalance_Write.h"
#include "moneybook/frmStartMoney.h"
#include "moneybook/FrmGraph.h"
#include "moneybook/GraphAnalysis.h"
#include "moneybook/MoneyBookRules.h"
#include "moneybook/frmRecord.h"
#include "sales/MoneyBalance.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/HCTerm.h"
#include "ui/SqlRowSource.h"

#include <QApplication>
#include <QChart>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

using namespace MoneyBook;

namespace {
constexpr int kEntries = 200000;
constexpr int kAccounts = 20;
constexpr int kCards = 10;
constexpr int kPlaces = 500;
constexpr int kItems = 200;
const QString kFrom = "2026-11-01";
const QString kTo = "2026-11-30";
frmRecord* g_ledger = nullptr;

void generate() {
    Transaction tx;
    ExecSQL("UPDATE tblgrouping SET sbalance = 1000000 WHERE code = 1");
    for (int a = 0; a < kAccounts; ++a)
        ExecSQL("INSERT INTO tblgrouping (accountclass, accountname, sbalance, totalox) VALUES "
                "('1', ?, ?, 1)",
                {QString("통장%1").arg(a), 5000000 + a * 1000});
    for (int c = 0; c < kCards; ++c)
        ExecSQL(
            "INSERT INTO tblgrouping (accountclass, accountname, ctblgrouping) VALUES ('2', ?, ?)",
            {QString("카드%1").arg(c), 2 + c});
    for (int p = 0; p < kPlaces; ++p)
        ExecSQL("INSERT INTO tblusename (sname) VALUES (?)", {QString("사용처%1").arg(p)});
    for (int i = 0; i < kItems; ++i)
        ExecSQL("INSERT INTO tblitem (inoutclass, bigo) VALUES (?, ?)",
                {i % 2 ? "1" : "2", QString("항목%1").arg(i)});
    const QDate start(2022, 1, 1);
    const int days = start.daysTo(QDate(2026, 12, 31)) + 1;
    for (int i = 0; i < kEntries; ++i) {
        const int section = i % 10;
        const int account = 2 + i % kAccounts;
        const int card = 2 + kAccounts + i % kCards;
        int in = 1, out = 1;
        switch (section) {
        case 2:
        case 4:
            out = account;
            break;
        case 3:
        case 5:
        case 9:
            in = account;
            break;
        case 6:
        case 7:
            in = card;
            out = 2 + (card - 2 - kAccounts);
            break;
        case 8:
            in = account;
            out = 2 + (i + 1) % kAccounts;
            break;
        default:
            break;
        }
        ExecSQL("INSERT INTO tbljangbu (sdate, sectionclass, ctblusename, ctblitem, smoney, "
                "cgroupin, cgroupout, smemo) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                {start.addDays(qint64(i) * days / kEntries).toString("yyyy-MM-dd"),
                 QString::number(section), 2 + i % kPlaces, QString("항목%1").arg(i % kItems),
                 1000 + (i * 37) % 90000, in, out, i % 7 ? QString() : QString("메모%1").arg(i)});
    }
    tx.commit();
}

LedgerFilter monthFilter() {
    LedgerFilter f;
    f.period = {kFrom, kTo};
    return f;
}
} // namespace

// What the window reads of a month: its newest block, the balance carried over and the
// month's sums by section (totals, and the balance before the block).
static void BM_LedgerMonth_Sql(benchmark::State& s) {
    const LedgerFilter f = monthFilter();
    for (auto _ : s) {
        SqlRowSource source(LedgerSelect(f), {{"j.sdate", "sdate", true}, {"j.code", "code", true}},
                            [](Recordset&, QVector<QStringList>&) {});
        const SqlPart part = source.nextBlock(GridModel::fetchBlockRows());
        Recordset rs;
        const int n = OpenRecordset(rs, part.sql, part.params);
        benchmark::DoNotOptimize(BalanceBefore(false, kFrom));
        LedgerSums sums;
        benchmark::DoNotOptimize(LoadLedgerSums(f, rs.row(n - 1).value(1).toString(),
                                                rs.row(n - 1).value(0).toInt(), &sums));
    }
}
static void BM_LedgerMonth_Window(benchmark::State& s) {
    for (auto _ : s)
        g_ledger->loadList();
    s.counters["rows"] = g_ledger->grid()->dataRowCnt();
}
static void BM_BalanceBefore_AllMoney(benchmark::State& s) {
    for (auto _ : s)
        benchmark::DoNotOptimize(BalanceBefore(false, kFrom));
}
static void BM_BalanceBefore_Cash(benchmark::State& s) {
    for (auto _ : s)
        benchmark::DoNotOptimize(BalanceBefore(true, kFrom));
}
// The bare save: the one UPDATE, and the amount shown in a plain grid's cell.
static void BM_SaveAmount_Sql(benchmark::State& s) {
    const int code = g_ledger->grid()->text(frmRecord::ColCode, 1).toInt();
    Grid grid;
    grid.setMaxCols(frmRecord::ColCount - 1);
    grid.setMaxRows(1);
    int n = 0;
    for (auto _ : s) {
        const int amount = 1000 + (++n % 2);
        benchmark::DoNotOptimize(
            ExecSQL("UPDATE tbljangbu SET smoney = ? WHERE code = ?", {amount, code}));
        grid.setText(frmRecord::ColOut, 1, QString::number(amount));
    }
}
static void BM_SaveAmount_Window(benchmark::State& s) {
    Grid* g = g_ledger->grid();
    // The first cash expense of the month: its amount shows in the expense column.
    int row = 1;
    while (g->text(frmRecord::ColSection, row) != "현금지출")
        ++row;
    int n = 0;
    const qint64 before = StatementsRun();
    for (auto _ : s) {
        g->setText(frmRecord::ColOut, row, QString::number(2000 + (++n % 2)));
        g_ledger->UpdateRecord(frmRecord::ColOut, row);
    }
    s.counters["statements"] = double(StatementsRun() - before) / double(s.iterations());
}
static void BM_AccountBalances_Sql(benchmark::State& s) {
    for (auto _ : s) {
        double total = CashBalance();
        for (int a = 0; a < kAccounts; ++a)
            total += AccountBalance(2 + a);
        benchmark::DoNotOptimize(total);
    }
}
static void BM_BalanceWindow(benchmark::State& s) {
    frmBalance w;
    for (auto _ : s)
        w.loadList();
}
static void BM_AccountWindow(benchmark::State& s) {
    frmAccount w;
    for (auto _ : s)
        w.loadList();
}
static GraphAnalysis::Filter yearByDay() {
    GraphAnalysis::Filter f;
    f.basis = GraphAnalysis::ByDay;
    f.income = false;
    f.from = "2026-01-01";
    f.to = "2026-12-31";
    return f;
}
static void BM_GraphYearByDay_Sql(benchmark::State& s) {
    for (auto _ : s)
        benchmark::DoNotOptimize(GraphAnalysis::Run(yearByDay()).size());
}
static void BM_GraphYearByDay_Window(benchmark::State& s) {
    FrmGraph graph;
    for (auto _ : s) {
        graph.ClearGraph();
        for (const GraphAnalysis::Point& p : GraphAnalysis::Run(yearByDay()))
            graph.AddData(p.label, p.value);
        graph.ReDrawGraph();
        // The chart lays out its axes and bars before it is painted, as on the screen.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
    s.counters["points"] = graph.pointCount();
}
static void BM_Graph120PointsDrawn(benchmark::State& s) {
    // 12 months of 10 series each, as 120 points drawn offscreen.
    FrmGraph graph;
    graph.resize(1000, 640);
    QImage image(1000, 640, QImage::Format_ARGB32);
    for (auto _ : s) {
        graph.ClearGraph();
        for (int i = 0; i < 120; ++i)
            graph.AddData(QString("2026-%1 %2").arg(i / 10 + 1).arg(i % 10), 1000.0 * (i % 17));
        graph.ReDrawGraph();
        QPainter painter(&image);
        graph.render(&painter);
    }
}

BENCHMARK(BM_LedgerMonth_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LedgerMonth_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BalanceBefore_AllMoney)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BalanceBefore_Cash)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAmount_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAmount_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AccountBalances_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BalanceWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AccountWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphYearByDay_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphYearByDay_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Graph120PointsDrawn)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto env = std::make_unique<TestEnv>();
    generate();
    const QString keep = qEnvironmentVariable("MEMBERDESK_BENCH_KEEP");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        ExecSQL("VACUUM INTO ?", {keep});
    }
    g_ledger = new frmRecord;
    g_ledger->period()->SetText1(kFrom);
    g_ledger->period()->SetText2(kTo);
    g_ledger->loadList();
    benchmark::Initialize(&argc, argv);
    RatioReporter ratios;
    ratios.pair("BM_LedgerMonth_Window", "BM_LedgerMonth_Sql");
    ratios.pair("BM_SaveAmount_Window", "BM_SaveAmount_Sql");
    ratios.pair("BM_BalanceWindow", "BM_AccountBalances_Sql");
    ratios.pair("BM_GraphYearByDay_Window", "BM_GraphYearByDay_Sql");
    benchmark::RunSpecifiedBenchmarks(&ratios);
    benchmark::Shutdown();
    delete g_ledger;
    return 0;
}
