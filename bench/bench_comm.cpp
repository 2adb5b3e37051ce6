// Caller-ID on a generated register of 100,000 members with filled telephone columns: a
// line written to a pseudo-terminal until the pop-up is started (trace log and lists
// included), next to the bare look-up and the plain six-column LIKE scan.
#include "TestEnv.h"

#include "comm/CallerIntake.h"
#include "comm/CallerRules.h"
#include "comm/SeeIdDevice.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>
#include <pty.h>
#include <unistd.h>

#include <memory>

namespace {
constexpr int kMembers = 100000;
TestEnv* g_env = nullptr;
int g_master = -1;

QString phone(const char* area, int a, int b)
{
    return QString("%1-%2-%3").arg(area).arg(a).arg(b, 4, 10, QChar('0'));
}

void generate()
{
    Transaction tx;
    for (int i = 0; i < kMembers; ++i)
        ExecSQL("INSERT INTO tblfriend (sname, smemo, hpline, hline1, hline2, hline3, finalline, keyline)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                {QString("회원%1").arg(i), QString("메모%1").arg(i), phone("010", 1000 + i % 9000, i % 10000),
                 phone("02", 300 + i % 600, (i * 7) % 10000), phone("031", 200 + i % 700, (i * 13) % 10000),
                 QString("0505%1").arg(10000000 + i), phone("051", 400 + i % 500, (i * 3) % 10000),
                 phone("064", 700 + i % 200, (i * 11) % 10000)});
    tx.commit();
}

const QString kNumber = "0212345678"; // the key 1234-5678: a few members share the last four

void BM_Lookup_Rule(benchmark::State& state)
{
    QString key;
    FormatTelNo(kNumber, &key);
    for (auto _ : state)
        benchmark::DoNotOptimize(FindCaller(key).count);
}

void BM_Lookup_PlainLike(benchmark::State& state)
{
    QString key;
    FormatTelNo(kNumber, &key);
    const QString p = "%" + key;
    for (auto _ : state) {
        Recordset rs;
        OpenRecordset(rs, "SELECT f.sname, f.smemo FROM tblfriend AS f WHERE f.hpline LIKE ? OR f.hline1 LIKE ?"
                          " OR f.hline2 LIKE ? OR f.hline3 LIKE ? OR f.finalline LIKE ? OR f.keyline LIKE ?",
                      {p, p, p, p, p, p});
        benchmark::DoNotOptimize(rs.recordCount());
    }
}

void BM_Call_PtyToViewer(benchmark::State& state)
{
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

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    auto env = std::make_unique<TestEnv>();
    g_env = env.get();
    generate();
    int slave = -1;
    char name[256] = {};
    if (openpty(&g_master, &slave, name, nullptr, nullptr) != 0)
        return 1;
    Settings::set("환경설정", "SeeIDType", "0");
    Settings::set("환경설정", "OpenSeeIDPort1", "1");
    Settings::set("환경설정", "OpenSeeIDPort2", "0");
    SeeIdDevice::setPortPath(1, QString::fromLocal8Bit(name));
    CallerIntake::instance().OpenSeeID();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CallerIntake::instance().shutDown();
    ::close(g_master);
    ::close(slave);
    return 0;
}
