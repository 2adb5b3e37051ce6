// Member searches on a generated register of 100,000 members in 50 groups (2,000 each):
// every window step next to the bare query it runs, with the statements (round trips) each
// window step sends. Run on the embedded database, then again on the PostgreSQL server
// named by MEMBERDESK_TEST_PG (key=value text of a database the user may create databases
// from), when one is named.
#include "BenchRatio.h"
#include "TestEnv.h"

#include "core/PrivateData.h"
#include "db/Database.h"
#include "db/DatabaseStats.h"
#include "members/MemberSearch.h"
#include "members/MemberStore.h"
#include "members/frmFriend.h"
#include "ui/Grid.h"
#include "ui/HCTerm.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace MemberSearchText;

namespace {
constexpr int kMembers = 100000;
constexpr int kGroups = 50;
frmFriend* g_window = nullptr;

void generate()
{
    Transaction tx;
    for (int g = 1; g <= kGroups; ++g)
        ExecSQL("INSERT INTO tblgroup (gname) VALUES (?)", {QString("그룹%1").arg(g)});
    for (int i = 0; i < kMembers; ++i) {
        const int month = i % 12 + 1, day = i % 28 + 1;
        ExecSQL("INSERT INTO tblfriend (sname, ctblgroup, hpline, hline1, homeadd, homeadd2, barthday, lunarbarth,"
                " marryday, insertday, male, abo, idno) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {QString("회원%1").arg(i), 2 + i % kGroups, QString("010-%1-%2").arg(1000 + i % 9000).arg(i % 10000, 4, 10, QChar('0')),
                 QString("02-%1-%2").arg(300 + i % 600).arg((i * 7) % 10000, 4, 10, QChar('0')),
                 QString("서울시 %1구 %2동").arg(i % 25).arg(i % 300), QString("%1번지").arg(i),
                 QString("%1-%2-%3").arg(1950 + i % 60).arg(month, 2, 10, QChar('0')).arg(day, 2, 10, QChar('0')),
                 i % 5 == 0 ? 1 : 0, QString("1990-05-05"), QString("2020-01-01"), i % 2 ? "남" : "여", "A",
                 EncryptIdNo(QString("%1-%2%3").arg(500101 + i % 300000, 6, 10, QChar('0')).arg(1 + i % 2).arg(i % 1000000, 6, 10, QChar('0')))});
    }
    tx.commit();
}

MemberSearchInput input(const QString& menu, const QString& text = {})
{
    MemberSearchInput in;
    in.dateKind = DateNone;
    in.menu = menu;
    in.text = text;
    for (int i = 0; i < 18; ++i)
        in.userFieldNames << QString();
    in.userColumns.clear(); // no member has user fields here, so the grid shows none
    return in;
}

int bareQuery(const MemberSearchInput& in)
{
    const SqlPart part = MemberSearchSql(in);
    Recordset rs;
    return OpenRecordset(rs, part.sql, part.params);
}

void setSearch(const QString& menu, const QString& text, const QString& dateKind = DateNone)
{
    auto* m = g_window->findChild<QComboBox*>("cmbMenu");
    m->setCurrentIndex(m->findText(menu));
    g_window->findChild<QLineEdit*>("txtData")->setText(text);
    auto* d = g_window->findChild<QComboBox*>("cmbDate");
    d->setCurrentIndex(d->findText(dateKind));
    g_window->findChild<HCTerm*>("htDate")->SetText1("2026-03-01");
    g_window->findChild<HCTerm*>("htDate")->SetText2("2026-03-31");
}

MemberSearchInput birthMonth()
{
    MemberSearchInput in = input(MenuAll);
    in.dateKind = DateBirth;
    in.start = "2026-03-01";
    in.end = "2026-03-31";
    return in;
}
} // namespace

static void BM_FullList_Sql(benchmark::State& s)
{
    for (auto _ : s)
        benchmark::DoNotOptimize(bareQuery(input(MenuAll)));
}
static void BM_FullList_Window(benchmark::State& s)
{
    setSearch(MenuAll, {});
    const qint64 before = StatementsRun();
    for (auto _ : s)
        g_window->Search();
    s.counters["rows"] = g_window->grid()->dataRowCnt();
    s.counters["statements"] = double(StatementsRun() - before) / double(s.iterations());
}
static void BM_PhoneLast4_Sql(benchmark::State& s)
{
    for (auto _ : s)
        benchmark::DoNotOptimize(bareQuery(input(MenuPhone, "4321")));
}
static void BM_PhoneLast4_Window(benchmark::State& s)
{
    setSearch(MenuPhone, "4321");
    const qint64 before = StatementsRun();
    for (auto _ : s)
        g_window->Search();
    s.counters["rows"] = g_window->grid()->dataRowCnt();
    s.counters["statements"] = double(StatementsRun() - before) / double(s.iterations());
}
static void BM_BirthdayMonth_Sql(benchmark::State& s)
{
    for (auto _ : s)
        benchmark::DoNotOptimize(bareQuery(birthMonth()));
}
static void BM_BirthdayMonth_Window(benchmark::State& s)
{
    setSearch(MenuAll, {}, DateBirth);
    const qint64 before = StatementsRun();
    for (auto _ : s)
        g_window->Search();
    s.counters["rows"] = g_window->grid()->dataRowCnt();
    s.counters["statements"] = double(StatementsRun() - before) / double(s.iterations());
}
static void BM_ExpandGroup_Sql(benchmark::State& s)
{
    for (auto _ : s)
        benchmark::DoNotOptimize(GroupMembers(2).size());
}
static void BM_ExpandGroup_Window(benchmark::State& s)
{
    QTreeWidgetItem* item = g_window->tree()->topLevelItem(1);
    const qint64 before = StatementsRun();
    for (auto _ : s)
        emit g_window->tree()->itemClicked(item, 0);
    s.counters["rows"] = item->childCount();
    s.counters["statements"] = double(StatementsRun() - before) / double(s.iterations());
}
// The same group opened for the first time: its 2,000 items made anew (the step above
// opens it again, keeping the items shown).
static void BM_ExpandGroupFirst_Window(benchmark::State& s)
{
    QTreeWidgetItem* item = g_window->tree()->topLevelItem(1);
    for (auto _ : s) {
        s.PauseTiming();
        qDeleteAll(item->takeChildren());
        s.ResumeTiming();
        emit g_window->tree()->itemClicked(item, 0);
    }
    s.counters["rows"] = item->childCount();
}
static void BM_MemberDetail_Sql(benchmark::State& s)
{
    int code = 50000;
    for (auto _ : s)
        benchmark::DoNotOptimize(LoadMemberDetail(code ^= 1).found);
}
static void BM_MemberDetail_Window(benchmark::State& s)
{
    const qint64 before = StatementsRun();
    int code = 50000; // two members in turn, as a person clicks from one to the next
    for (auto _ : s)
        g_window->ShowMemberDetail(code ^= 1);
    s.counters["statements"] = double(StatementsRun() - before) / double(s.iterations());
}

// What the sealed resident numbers add to the full list: opening and masking every one.
static void BM_FullList_MaskNumbers(benchmark::State& s)
{
    Recordset rs;
    OpenRecordset(rs, "SELECT idno FROM tblfriend");
    for (auto _ : s)
        for (int r = 0; r < rs.recordCount(); ++r)
            benchmark::DoNotOptimize(IdNoForDisplay(rs.row(r).at(0).toString()));
}
// A login: one Argon2id check at the interactive limits.
static void BM_LoginPasswordCheck(benchmark::State& s)
{
    const QString stored = HashPassword("비밀'번호");
    for (auto _ : s)
        benchmark::DoNotOptimize(PasswordMatches(stored, "비밀'번호"));
}
BENCHMARK(BM_FullList_MaskNumbers)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoginPasswordCheck)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FullList_Sql)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FullList_Window)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PhoneLast4_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhoneLast4_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BirthdayMonth_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BirthdayMonth_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandGroup_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandGroup_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandGroupFirst_Window)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemberDetail_Sql)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemberDetail_Window)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto env = std::make_unique<TestEnv>();
    generate();
    // MEMBERDESK_BENCH_KEEP=<file>: keep a copy of the generated database for looking at
    // query plans with the sqlite3 shell.
    const QString keep = qEnvironmentVariable("MEMBERDESK_BENCH_KEEP");
    if (!keep.isEmpty() && !TestEnv::onServer()) {
        QFile::remove(keep);
        ExecSQL("VACUUM INTO ?", {keep});
    }
    g_window = new frmFriend;
    const bool onServer = TestEnv::onServer();
    std::printf("engine: %s\n", onServer ? "postgresql" : "sqlite");
    std::fflush(stdout);
    benchmark::Initialize(&argc, argv);
    RatioReporter ratios;
    ratios.pair("BM_FullList_Window", "BM_FullList_Sql");
    ratios.pair("BM_PhoneLast4_Window", "BM_PhoneLast4_Sql");
    ratios.pair("BM_BirthdayMonth_Window", "BM_BirthdayMonth_Sql");
    ratios.pair("BM_ExpandGroup_Window", "BM_ExpandGroup_Sql");
    ratios.pair("BM_ExpandGroupFirst_Window", "BM_ExpandGroup_Sql");
    ratios.pair("BM_MemberDetail_Window", "BM_MemberDetail_Sql");
    benchmark::RunSpecifiedBenchmarks(&ratios);
    benchmark::Shutdown();
    delete g_window;
    env.reset();
    if (onServer) return 0;
    if (TestEnv::serverAdmin().isEmpty()) {
        std::printf("engine: postgresql skipped (MEMBERDESK_TEST_PG names no server)\n");
        return 0;
    }
    // The same steps on the server, printed after the embedded engine's figures.
    QProcess again;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("MEMBERDESK_TEST_ENGINE", "postgresql");
    again.setProcessEnvironment(e);
    again.setProcessChannelMode(QProcess::ForwardedChannels);
    again.start(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
    again.waitForFinished(-1);
    return again.exitCode();
}
