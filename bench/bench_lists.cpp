// The long lists at scale: how long the member list takes to show its first screen, next
// to the bare query of that screen's rows, and what the process holds in memory with the
// list open (VmRSS, and VmHWM, the peak so far).
//
// Scale: 100,000 members with 300,000 trades and 200,000 money-book entries; with
// MEMBERDESK_BENCH_SCALE=1m ten times that (1,000,000 members, 3,000,000 trades,
// 2,000,000 entries). Generating the larger set takes minutes and about 1.5 GB, so the
// database is kept in a file and used again by the next run: MEMBERDESK_BENCH_DB names
// it (default: memberdesk_lists_<scale>.db in the temporary folder). Embedded engine only.
#include "TestEnv.h"

#include "core/AppState.h"
#include "core/PrivateData.h"
#include "db/Database.h"
#include "members/MemberSearch.h"
#include "comm/SmsSearch.h"
#include "comm/frmSMS.h"
#include "members/frmFriend.h"
#include "moneybook/MoneyBookRules.h"
#include "moneybook/frmRecord.h"
#include "reports/GridPrintJob.h"
#include "sales/MoneyBalance.h"
#include "sales/TradeStore.h"
#include "sales/frmTrade.h"
#include "ui/ExcelExport.h"
#include "ui/FrmFindInSpread.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/HCTerm.h"
#include "ui/SqlRowSource.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QComboBox>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <memory>

namespace {
int g_members = 100000;
frmFriend* g_window = nullptr;
frmTrade* g_trades = nullptr;
frmSMS* g_sms = nullptr;
frmRecord* g_ledger = nullptr;

// One line of /proc/self/status in MB ("VmRSS", "VmHWM").
double statusMb(const char* key)
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Bytes the program holds on the heap, in MB: the resident size less the engine's mapped
// file and what the allocator keeps free.
double heapMb()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

// Starts a new peak (VmHWM) at the present resident size, so that each step shows its own.
void resetPeak()
{
    QFile f("/proc/self/clear_refs");
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The section of the i-th generated ledger entry: cash income, cash expense, transfers
// and withdrawals, mixed within every month.
const QString kLedgerSection = QStringLiteral(
    "CASE %1 % 7 WHEN 0 THEN '1' WHEN 1 THEN '1' WHEN 2 THEN '0' WHEN 3 THEN '0' WHEN 4 THEN '0'"
    " WHEN 5 THEN '8' ELSE '4' END");

// Rows are made by the engine from a counter, in one statement per table: a million
// single inserts would take longer than every step measured here.
void generate(int members)
{
    const int groups = 50;
    Transaction tx;
    for (int g = 1; g <= groups; ++g)
        ExecSQL("INSERT INTO tblgroup (gname) VALUES (?)", {QString("그룹%1").arg(g)});
    // A few sealed resident numbers, repeated: the list opens each one it shows.
    QVariantList ids;
    for (int i = 0; i < 4; ++i)
        ids << EncryptIdNo(QString("%1-%2").arg(700101 + i).arg(1234560 + i));
    const QString counter = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ");
    ExecSQL(QStringLiteral(
                "INSERT INTO tblfriend (sname, ctblgroup, hpline, hline1, homeadd, homeadd2, barthday, lunarbarth,"
                " marryday, insertday, male, abo, idno) ")
                + counter.arg(members - 1)
                + QStringLiteral(
                    "SELECT '회원' || i, 2 + i % 50, '010-' || (1000 + i % 9000) || '-' || substr('000' || (i % 10000), -4),"
                    " '02-' || (300 + i % 600) || '-' || substr('000' || (i * 7 % 10000), -4),"
                    " '서울시 ' || (i % 25) || '구 ' || (i % 300) || '동', i || '번지',"
                    " (1950 + i % 60) || '-' || substr('0' || (i % 12 + 1), -2) || '-' || substr('0' || (i % 28 + 1), -2),"
                    " CASE WHEN i % 5 = 0 THEN 1 ELSE 0 END, '1990-05-05', '2020-01-01',"
                    " CASE WHEN i % 2 = 1 THEN '남' ELSE '여' END, 'A',"
                    " CASE i % 4 WHEN 0 THEN ? WHEN 1 THEN ? WHEN 2 THEN ? ELSE ? END FROM n"),
            ids);
    // Three trades a member over six years, one line each; two entries a member in the book.
    ExecSQL(QStringLiteral("INSERT INTO tbltrade (sdate, ctblfriend, dmoney, dcard, lstackpoint, lpoint) ")
            + counter.arg(members * 3 - 1)
            + QStringLiteral("SELECT (2021 + i % 6) || '-' || substr('0' || (i % 12 + 1), -2) || '-' ||"
                             " substr('0' || (i % 28 + 1), -2), 2 + i % ") + QString::number(members)
            + QStringLiteral(", 10000 + i % 50000, i % 3 * 1000, i % 100, i % 100 FROM n"));
    ExecSQL(QStringLiteral("INSERT INTO tbltradesub (ctbltrade, servicename, lnumber, dmoney, dsum) "
                           "SELECT code, '서비스', 1, dmoney + dcard, dmoney + dcard FROM tbltrade"));
    ExecSQL(QStringLiteral("INSERT INTO tbljangbu (sdate, sectionclass, cgroupin, cgroupout, smoney, smemo) ")
            + counter.arg(members * 2 - 1)
            + QStringLiteral("SELECT (2021 + i % 6) || '-' || substr('0' || (i % 12 + 1), -2) || '-' ||"
                             " substr('0' || (i % 28 + 1), -2), ") + kLedgerSection.arg("i")
            + QStringLiteral(", 1, 1, 1000 + i % 90000, '적요' || i FROM n"));
    tx.commit();
    ExecSQL("ANALYZE");
}

// Opens the kept database, or makes it.
bool openKept(const QString& file, int members)
{
    App().dbFile = file;
    // A kept file gets the indexes of the current schema, as the program's start gives them.
    if (QFile::exists(file) && OpenDatabase(file)
        && GetScalar("SELECT COUNT(*) FROM tblfriend").toInt() == members + 1) {
        // Files kept by earlier versions named the ledger's sections in words, which the
        // money book shows as no section: numbered once, as generate() numbers them now.
        if (GetScalar("SELECT COUNT(*) FROM tbljangbu WHERE sectionclass = '수입'").toInt() > 0) {
            ExecSQL(QStringLiteral("UPDATE tbljangbu SET sectionclass = ") + kLedgerSection.arg("(code - 1)"));
            ExecSQL("ANALYZE");
        }
        return UpgradeSchema();
    }
    QFile::remove(file);
    QString error;
    if (!CreateNewDatabase(file, &error) || !OpenDatabase(file)) {
        std::fprintf(stderr, "database: %s %s\n", qPrintable(error), qPrintable(LastDbError()));
        return false;
    }
    QElapsedTimer t;
    t.start();
    generate(members);
    std::printf("generated %d members in %.0f s\n", members, t.elapsed() / 1000.0);
    return true;
}

MemberSearchInput wholeList()
{
    MemberSearchInput in;
    in.dateKind = MemberSearchText::DateNone;
    in.menu = MemberSearchText::MenuAll;
    for (int i = 0; i < 18; ++i)
        in.userFieldNames << QString();
    in.userColumns.clear();
    return in;
}
} // namespace

// The rows of the first screen, straight from the engine.
static void BM_MemberList_FirstScreen_Sql(benchmark::State& s)
{
    const MemberSearchInput in = wholeList();
    const QStringList order = MemberSearchOrder(in);
    for (auto _ : s) {
        SqlRowSource source(MemberSearchSelect(in), {{order.at(0), "ctblgroup"}, {order.at(1), "code"}},
                            [](const Recordset&, QVector<QStringList>&) {});
        Recordset rs;
        const SqlPart part = source.nextBlock(GridModel::fetchBlockRows());
        benchmark::DoNotOptimize(OpenRecordset(rs, part.sql, part.params));
    }
}
// The window's search: the grid emptied and its first block read and shown.
static void BM_MemberList_FirstScreen_Window(benchmark::State& s)
{
    for (auto _ : s)
        g_window->Search();
    s.counters["rows"] = g_window->grid()->maxRows();
    s.counters["rss_MB"] = statusMb("VmRSS:");
}
// Scrolling on: one more block read at the end of the rows read so far.
static void BM_MemberList_NextBlock_Window(benchmark::State& s)
{
    g_window->Search();
    for (auto _ : s)
        g_window->grid()->gridModel()->fetchMore();
    s.counters["rows"] = g_window->grid()->maxRows();
}
// Ticking every member: the rows read so far ticked, the rest by rule as they come.
static void BM_MemberList_TickAll_Window(benchmark::State& s)
{
    auto* all = g_window->findChild<QCheckBox*>("chkSelectAll");
    for (auto _ : s) {
        s.PauseTiming();
        all->setChecked(false);
        g_window->Search();
        resetPeak();
        s.ResumeTiming();
        all->setChecked(true);
    }
    s.counters["rows"] = g_window->grid()->maxRows();
    s.counters["checked"] = g_window->checkedCount();
    s.counters["rss_MB"] = statusMb("VmRSS:");
    s.counters["peak_MB"] = statusMb("VmHWM:");
    s.counters["heap_MB"] = heapMb();
}
// The export of the whole list with every member ticked, read a block at a time and
// written out as it goes.
static void BM_MemberList_ExportAll_Window(benchmark::State& s)
{
    resetPeak();
    for (auto _ : s)
        ExportToExcelFile(g_window->grid(), QStringLiteral("Sheet1"), false, false);
    s.counters["rows"] = g_window->grid()->maxRows();
    s.counters["rss_MB"] = statusMb("VmRSS:");
    s.counters["peak_MB"] = statusMb("VmHWM:");
    s.counters["heap_MB"] = heapMb();
}
// Every row read into the list, as Ctrl+End does.
static void BM_MemberList_ReadAll_Window(benchmark::State& s)
{
    for (auto _ : s) {
        s.PauseTiming();
        g_window->Search();
        resetPeak();
        s.ResumeTiming();
        g_window->grid()->fetchAll();
    }
    s.counters["rows"] = g_window->grid()->maxRows();
    s.counters["rss_MB"] = statusMb("VmRSS:");
    s.counters["peak_MB"] = statusMb("VmHWM:");
    s.counters["heap_MB"] = heapMb();
}
// Find down the columns from the first name for the last member's name: every member
// passed over, then the list read up to the hit (here its last row).
static void BM_MemberList_FindDown_Window(benchmark::State& s)
{
    FrmFindInSpread* find = nullptr;
    for (auto _ : s) {
        s.PauseTiming();
        g_window->Search();
        g_window->grid()->setActiveCell(frmFriend::ColName, 1);
        find = FrmFindInSpread::open(g_window->grid());
        find->findChild<QComboBox*>("cboFindDir")->setCurrentIndex(FrmFindInSpread::ByCols);
        find->findChild<QLineEdit*>("txtFindWd")->setText(QString("회원%1").arg(g_members - 1));
        resetPeak();
        s.ResumeTiming();
        find->findNext();
    }
    s.counters["row"] = g_window->grid()->activeRow();
    s.counters["rows"] = g_window->grid()->maxRows();
    s.counters["rss_MB"] = statusMb("VmRSS:");
    s.counters["peak_MB"] = statusMb("VmHWM:");
    s.counters["heap_MB"] = heapMb();
    find->close();
}
// Printing: the list read whole and laid out in pages.
static void BM_MemberList_Print_Window(benchmark::State& s)
{
    int pages = 0;
    for (auto _ : s) {
        s.PauseTiming();
        g_window->Search();
        resetPeak();
        s.ResumeTiming();
        GridPrintJob job(g_window->grid(), PrintSetup{}, QStringLiteral("회원 목록"));
        pages = job.pageCount();
    }
    s.counters["pages"] = pages;
    s.counters["rows"] = g_window->grid()->maxRows();
    s.counters["rss_MB"] = statusMb("VmRSS:");
    s.counters["peak_MB"] = statusMb("VmHWM:");
    s.counters["heap_MB"] = heapMb();
}
// The trade list of this month so far (the fixed clock's 2026-12-01..06): its first
// block and the month's sums, bare and in the window.
static void BM_TradeList_FirstScreen_Sql(benchmark::State& s)
{
    const QString from = g_trades->period()->Text1(), to = g_trades->period()->Text2();
    for (auto _ : s) {
        SqlRowSource source(TradePeriodSelect(from, to), {{"t.sdate", "sdate"}, {"t.code", "code"}},
                            [](Recordset&, QVector<QStringList>&) {});
        Recordset rs;
        const SqlPart part = source.nextBlock(GridModel::fetchBlockRows());
        benchmark::DoNotOptimize(OpenRecordset(rs, part.sql, part.params));
        benchmark::DoNotOptimize(LoadTradePeriodSums(from, to).total);
    }
    s.counters["trades"] = GetScalar("SELECT COUNT(*) FROM tbltrade WHERE sdate BETWEEN ? AND ?", {from, to}).toDouble();
}
static void BM_TradeList_FirstScreen_Window(benchmark::State& s)
{
    for (auto _ : s)
        g_trades->query();
    s.counters["rows"] = g_trades->list()->maxRows();
}
// The text-message list of every member.
static void BM_SmsList_FirstScreen_Sql(benchmark::State& s)
{
    SmsSearchInput in;
    in.menu = MemberSearchText::MenuAll;
    const SmsQuery q = SmsSearchSql(in);
    for (auto _ : s) {
        SqlRowSource source(q.select, {{q.order.at(0), "ctblgroup"}, {q.order.at(1), "code"}},
                            [](Recordset&, QVector<QStringList>&) {});
        Recordset rs;
        const SqlPart part = source.nextBlock(GridModel::fetchBlockRows());
        benchmark::DoNotOptimize(OpenRecordset(rs, part.sql, part.params));
    }
}
static void BM_SmsList_FirstScreen_Window(benchmark::State& s)
{
    for (auto _ : s)
        g_sms->Search();
    s.counters["rows"] = g_sms->grid()->maxRows();
}
// The money book of this month (the fixed clock's December 2026, a twelfth of the
// entries): its newest block, the balance carried over and the month's sums, bare and in
// the window.
static void BM_MoneyBook_FirstScreen_Sql(benchmark::State& s)
{
    const MoneyBook::LedgerFilter f = g_ledger->currentFilter();
    for (auto _ : s) {
        SqlRowSource source(MoneyBook::LedgerSelect(f), {{"j.sdate", "sdate", true}, {"j.code", "code", true}},
                            [](Recordset&, QVector<QStringList>&) {});
        const SqlPart part = source.nextBlock(GridModel::fetchBlockRows());
        Recordset rs;
        const int n = OpenRecordset(rs, part.sql, part.params);
        benchmark::DoNotOptimize(BalanceBefore(false, f.period.from));
        MoneyBook::LedgerSums sums;
        benchmark::DoNotOptimize(MoneyBook::LoadLedgerSums(f, rs.row(n - 1).value(1).toString(),
                                                           rs.row(n - 1).value(0).toInt(), &sums));
    }
    s.counters["entries"] = GetScalar("SELECT COUNT(*) FROM tbljangbu WHERE sdate BETWEEN ? AND ?",
                                      {f.period.from, f.period.to}).toDouble();
}
static void BM_MoneyBook_FirstScreen_Window(benchmark::State& s)
{
    for (auto _ : s)
        g_ledger->loadList();
    s.counters["rows"] = g_ledger->grid()->maxRows();
}
// Scrolling up: one more block of older entries read in above the rows shown.
static void BM_MoneyBook_BlockBefore_Window(benchmark::State& s)
{
    g_ledger->loadList();
    for (auto _ : s)
        g_ledger->grid()->gridModel()->fetchBefore();
    s.counters["rows"] = g_ledger->grid()->maxRows();
}
BENCHMARK(BM_MoneyBook_FirstScreen_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoneyBook_FirstScreen_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoneyBook_BlockBefore_Window)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TradeList_FirstScreen_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TradeList_FirstScreen_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmsList_FirstScreen_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmsList_FirstScreen_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemberList_FirstScreen_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemberList_FirstScreen_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemberList_NextBlock_Window)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_MemberList_TickAll_Window)->Unit(benchmark::kMillisecond)->Iterations(1);
// Last, each with its own peak (VmHWM started anew before it).
BENCHMARK(BM_MemberList_ExportAll_Window)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MemberList_ReadAll_Window)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MemberList_FindDown_Window)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MemberList_Print_Window)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (TestEnv::onServer()) {
        std::printf("engine: postgresql skipped (kept database file only)\n");
        return 0;
    }
    const bool million = qEnvironmentVariable("MEMBERDESK_BENCH_SCALE") == "1m";
    g_members = million ? 1000000 : 100000;
    auto env = std::make_unique<TestEnv>(false);
    QString file = qEnvironmentVariable("MEMBERDESK_BENCH_DB");
    if (file.isEmpty())
        file = QDir::tempPath() + (million ? "/memberdesk_lists_1m.db" : "/memberdesk_lists_100k.db");
    if (!openKept(file, g_members))
        return 1;
    std::printf("engine: sqlite, %d members, database %s\n", g_members, qPrintable(file));
    std::printf("memory before the list: rss %.0f MB\n", statusMb("VmRSS:"));
    QElapsedTimer t;
    t.start();
    g_window = new frmFriend;
    std::printf("member list opened in %lld ms, %d rows read, rss %.0f MB\n", t.elapsed(),
                g_window->grid()->maxRows(), statusMb("VmRSS:"));
    t.restart();
    g_trades = new frmTrade;
    std::printf("trade list opened in %lld ms, %d rows read\n", t.elapsed(), g_trades->list()->maxRows());
    t.restart();
    g_sms = new frmSMS;
    std::printf("text-message list opened in %lld ms, %d rows read\n", t.elapsed(), g_sms->grid()->maxRows());
    t.restart();
    g_ledger = new frmRecord;
    std::printf("money book opened in %lld ms, %d rows read\n", t.elapsed(), g_ledger->grid()->maxRows());
    std::fflush(stdout);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_ledger;
    delete g_sms;
    delete g_trades;
    delete g_window;
    env.reset();
    return 0;
}
