// Caller-ID and text-message recipients on a generated register of 100,000 members with
// filled telephone columns in 10 groups with monthly dues, 12 months of dues payments,
// 300,000 trades and 1,000,000 trade lines.
// Caller: a line written to a pseudo-terminal until the pop-up is started (trace log and
// lists included), next to the bare look-up and the plain six-column LIKE scan.
// Recipients: each search kind of the window with its grid filled, next to the bare query
// plus a grid fill; the list file of 100,000 marked rows.
#include "BenchRatio.h"
#include "TestEnv.h"

#include "comm/CallerIntake.h"
#include "comm/CallerRules.h"
#include "comm/SeeIdDevice.h"
#include "comm/SmsHandOff.h"
#include "core/AppState.h"
#include "comm/SmsSearch.h"
#include "comm/frmSMS.h"
#include "members/MemberSearch.h"
#include "ui/Grid.h"
#include "ui/HCTerm.h"
#include "ui/HCText.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>

#include <benchmark/benchmark.h>
#include <pty.h>
#include <unistd.h>

#include <functional>
#include <memory>

namespace {
constexpr int kMembers = 100000;
TestEnv* g_env = nullptr;
int g_master = -1;

QString phone(const char* area, int a, int b) {
    return QString("%1-%2-%3").arg(area).arg(a).arg(b, 4, 10, QChar('0'));
}

constexpr int kGroups = 10;
constexpr int kTrades = 300000;
constexpr int kLines = 1000000;
frmSMS* g_sms = nullptr;

void generate() {
    Transaction tx;
    for (int g = 1; g <= kGroups; ++g)
        ExecSQL(
            "INSERT INTO tblgroup (gname, repeatclass, settlementday) VALUES (?, '00000', '05')",
            {QString("그룹%1").arg(g)});
    for (int i = 0; i < kMembers; ++i)
        ExecSQL("INSERT INTO tblfriend (sname, smemo, hpline, hline1, hline2, hline3, finalline, "
                "keyline, ctblgroup,"
                " male, marryox, barthday, lunarbarth, homeadd, homeadd2, insertday)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {QString("회원%1").arg(i), QString("메모%1").arg(i),
                 phone("010", 1000 + i % 9000, i % 10000),
                 phone("02", 300 + i % 600, (i * 7) % 10000),
                 phone("031", 200 + i % 700, (i * 13) % 10000), QString("0505%1").arg(10000000 + i),
                 phone("051", 400 + i % 500, (i * 3) % 10000),
                 phone("064", 700 + i % 200, (i * 11) % 10000), 2 + i % kGroups,
                 i % 2 ? "남" : "여", i % 3 ? 1 : 0,
                 QString("%1-%2-%3")
                     .arg(1950 + i % 60)
                     .arg(i % 12 + 1, 2, 10, QChar('0'))
                     .arg(i % 28 + 1, 2, 10, QChar('0')),
                 i % 5 == 0 ? 1 : 0, QString("서울시 %1구").arg(i % 25), QString("%1번지").arg(i),
                 "2020-01-01"});
    // Dues of 2026-01 .. 2026-12; every 12th member skips one month.
    ExecSQL("WITH RECURSIVE m(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM m WHERE n < 12)"
            " INSERT INTO tblgroupmon (ctblgroup, ctblfriend, inoutclass, sdate, smonth, smoney)"
            " SELECT f.ctblgroup, f.code, '0', '2026-' || substr('0' || m.n, -2) || '-03',"
            " '2026-' || substr('0' || m.n, -2), 10000 FROM tblfriend AS f, m"
            " WHERE f.code > 1 AND (f.code + m.n) % 12 <> 0");
    ExecSQL("WITH RECURSIVE t(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM t WHERE n < ?)"
            " INSERT INTO tbltrade (sdate, ctblfriend, dmoney) SELECT date('2026-01-01', '+' || (n "
            "% 365) || ' days'),"
            " 2 + (n * 7) % ?, 0 FROM t",
            {kTrades - 1, kMembers});
    ExecSQL("WITH RECURSIVE l(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM l WHERE n < ?)"
            " INSERT INTO tbltradesub (ctbltrade, servicename, lnumber, dmoney, dsum)"
            " SELECT 1 + n % ?, '커트', 1, 10000, 1000 + (n % 50) * 100 FROM l",
            {kLines - 1, kTrades});
    tx.commit();
}

// One search kind: how the window's controls are set, and the same search as input.
struct SmsKind {
    std::function<void(frmSMS*)> apply;
    SmsSearchInput input;
};

template <class T> T* control(frmSMS* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
}

void resetControls(frmSMS* w) {
    for (const char* b : {"opMarry(0)", "opMali(0)", "opSection(0)"})
        control<QAbstractButton>(w, b)->setChecked(true);
    control<QComboBox>(w, "cmbDate")->setCurrentIndex(0);
    control<QComboBox>(w, "cmbMenu")->setCurrentIndex(0);
    control<HCText>(w, "htField")->clear();
    control<QComboBox>(w, "cmbYear")->setCurrentText("2026");
    control<QComboBox>(w, "cmbMonth")->setCurrentIndex(10); // November: its due day has passed
}

SmsKind smsKind(int kind) {
    using namespace MemberSearchText;
    SmsKind k;
    SmsSearchInput& in = k.input;
    in.dateKind = DateNone;
    in.menu = MenuAll;
    in.year = 2026;
    in.month = 11;
    switch (kind) {
    case 0: // "전      체" with a text
        in.text = "회원1234";
        k.apply = [](frmSMS* w) { control<HCText>(w, "htField")->setText("회원1234"); };
        break;
    case 1: // name
        in.menu = MenuName;
        in.text = "회원99";
        k.apply = [](frmSMS* w) {
            control<QComboBox>(w, "cmbMenu")->setCurrentText(MenuName);
            control<HCText>(w, "htField")->setText("회원99");
        };
        break;
    case 2: // group
    case 6: // unpaid dues of a group
        in.menu = MenuGroup;
        in.groupCode = 3;
        in.section = kind == 6 ? SmsSearchInput::UnpaidDues : SmsSearchInput::Members;
        k.apply = [kind](frmSMS* w) {
            if (kind == 6) control<QAbstractButton>(w, "opSection(1)")->setChecked(true);
            control<QComboBox>(w, "cmbMenu")->setCurrentText(MenuGroup);
            auto* data = control<QComboBox>(w, "cmbData");
            data->setCurrentIndex(data->findData(3));
        };
        break;
    case 3: // birthdays of one month
        in.dateKind = DateBirth;
        in.start = "2026-03-01";
        in.end = "2026-03-31";
        k.apply = [](frmSMS* w) {
            control<QComboBox>(w, "cmbDate")->setCurrentIndex(1);
            control<HCTerm>(w, "htDate")->SetText1("2026-03-01");
            control<HCTerm>(w, "htDate")->SetText2("2026-03-31");
        };
        break;
    case 4: // sex
        in.sex = 2;
        k.apply = [](frmSMS* w) { control<QAbstractButton>(w, "opMali(2)")->setChecked(true); };
        break;
    case 5: // no filter: every member
        k.apply = [](frmSMS*) {};
        break;
    case 7: // trade sums of a month
        in.section = SmsSearchInput::TradeSums;
        k.apply = [](frmSMS* w) { control<QAbstractButton>(w, "opSection(2)")->setChecked(true); };
        break;
    }
    return k;
}

// The recipient search through the window: query, remark column, grid filled.
void BM_Sms_Window(benchmark::State& state, int kind) {
    const SmsKind k = smsKind(kind);
    resetControls(g_sms);
    k.apply(g_sms);
    for (auto _ : state)
        g_sms->Search();
    state.counters["rows"] = g_sms->grid()->dataRowCnt();
}

// The same statement run bare and its rows put into a plain grid.
void BM_Sms_BareQueryFill(benchmark::State& state, int kind) {
    const SmsQuery q = SmsSearchSql(smsKind(kind).input);
    Grid grid;
    grid.setMaxCols(6);
    for (auto _ : state) {
        Recordset rs;
        const int n = OpenRecordset(rs, q.part.sql, q.part.params);
        grid.beginFill(n);
        QStringList row(6);
        for (int r = 0; r < n; ++r) {
            const auto& v = rs.row(r);
            for (int c = 0; c < 5; ++c)
                row[c + 1] = v.at(c).toString();
            grid.appendRow(row);
        }
        grid.endFill();
    }
}

// The list file of every member marked (the repeated numbers asked about once).
void BM_Sms_WriteExternTelNo(benchmark::State& state) {
    resetControls(g_sms);
    g_sms->Search();
    control<QAbstractButton>(g_sms, "chkAllSel")->click();
    const QString path = DataPath("ExternTelNo.txt");
    for (auto _ : state)
        WriteExternTelNo(g_sms->grid(), path, frmSMS::ColSelect, frmSMS::ColName, frmSMS::ColPhone);
    state.counters["rows"] = g_sms->grid()->dataRowCnt();
    state.counters["bytes"] = double(QFile(path).size());
}

const QString kNumber = "0212345678"; // the key 1234-5678: a few members share the last four

void BM_Lookup_Rule(benchmark::State& state) {
    QString key;
    const QString number = FormatTelNo(kNumber, &key);
    for (auto _ : state)
        benchmark::DoNotOptimize(FindCaller(number, key).count);
}

void BM_Lookup_PlainLike(benchmark::State& state) {
    QString key;
    FormatTelNo(kNumber, &key);
    const QString p = "%" + key;
    for (auto _ : state) {
        Recordset rs;
        OpenRecordset(
            rs,
            "SELECT f.sname, f.smemo FROM tblfriend AS f WHERE f.hpline LIKE ? OR f.hline1 LIKE ?"
            " OR f.hline2 LIKE ? OR f.hline3 LIKE ? OR f.finalline LIKE ? OR f.keyline LIKE ?",
            {p, p, p, p, p, p});
        benchmark::DoNotOptimize(rs.recordCount());
    }
}

void BM_Call_PtyToViewer(benchmark::State& state) {
    const QByteArray line = "NMBR = " + kNumber.toLatin1() + "\r\n";
    for (auto _ : state) {
        const auto before = g_env->launcher().calls.size();
        if (::write(g_master, line.constData(), size_t(line.size())) != line.size())
            state.SkipWithError("write to the pty failed");
        QElapsedTimer t;
        t.start();
        while (g_env->launcher().calls.size() == before && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}

} // namespace

BENCHMARK(BM_Lookup_Rule)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lookup_PlainLike)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Call_PtyToViewer)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_Window, all_text, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_BareQueryFill, all_text, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_Window, name, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_BareQueryFill, name, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_Window, group, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_BareQueryFill, group, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_Window, birthday_month, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_BareQueryFill, birthday_month, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_Window, sex, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_BareQueryFill, sex, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_Window, no_filter, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_BareQueryFill, no_filter, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_Window, unpaid_dues, 6)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_BareQueryFill, unpaid_dues, 6)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_Window, trade_sums, 7)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sms_BareQueryFill, trade_sums, 7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sms_WriteExternTelNo)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto env = std::make_unique<TestEnv>();
    g_env = env.get();
    generate();
    // MEMBERDESK_BENCH_KEEP=<file>: keep a copy of the generated database for looking at
    // query plans with the sqlite3 shell.
    const QString keep = qEnvironmentVariable("MEMBERDESK_BENCH_KEEP");
    if (!keep.isEmpty() && !TestEnv::onServer()) {
        QFile::remove(keep);
        ExecSQL("VACUUM INTO ?", {keep});
    }
    auto sms = std::make_unique<frmSMS>();
    g_sms = sms.get();
    int slave = -1;
    char name[256] = {};
    if (openpty(&g_master, &slave, name, nullptr, nullptr) != 0) return 1;
    Settings::set("환경설정", "SeeIDType", "0");
    Settings::set("환경설정", "OpenSeeIDPort1", "1");
    Settings::set("환경설정", "OpenSeeIDPort2", "0");
    SeeIdDevice::setPortPath(1, QString::fromLocal8Bit(name));
    CallerIntake::instance().OpenSeeID();
    benchmark::Initialize(&argc, argv);
    RatioReporter ratios;
    ratios.pair("BM_Sms_Window/all_text", "BM_Sms_BareQueryFill/all_text");
    ratios.pair("BM_Sms_Window/name", "BM_Sms_BareQueryFill/name");
    ratios.pair("BM_Sms_Window/group", "BM_Sms_BareQueryFill/group");
    ratios.pair("BM_Sms_Window/birthday_month", "BM_Sms_BareQueryFill/birthday_month");
    ratios.pair("BM_Sms_Window/sex", "BM_Sms_BareQueryFill/sex");
    ratios.pair("BM_Sms_Window/no_filter", "BM_Sms_BareQueryFill/no_filter");
    ratios.pair("BM_Sms_Window/unpaid_dues", "BM_Sms_BareQueryFill/unpaid_dues");
    ratios.pair("BM_Sms_Window/trade_sums", "BM_Sms_BareQueryFill/trade_sums");
    benchmark::RunSpecifiedBenchmarks(&ratios);
    benchmark::Shutdown();
    sms.reset();
    CallerIntake::instance().shutDown();
    ::close(g_master);
    ::close(slave);
    return 0;
}
