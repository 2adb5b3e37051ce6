// List printing on a generated member-list grid of 10,000 rows × 25 columns (and
// 100,000 rows for the layout): reading every cell (the floor), pagination, the preview
// ready with page 1 drawn and "Page 1 of N" shown, moving to the next and the last page,
// and the whole document written as PDF. Peak memory (VmHWM) is a counter in MB.

#include "core/AppState.h"
#include "core/Settings.h"
#include "reports/FrmSPPrint_Preview.h"
#include "reports/GridPrintJob.h"
#include "reports/PrintContext.h"
#include "reports/PrintSetup.h"
#include "ui/Grid.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

constexpr int Cols = 25;

double PeakMemoryMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

Grid* MemberGrid(int rows) {
    static std::map<int, std::unique_ptr<Grid>> grids;
    auto& g = grids[rows];
    if (g) return g.get();
    g = std::make_unique<Grid>();
    g->setObjectName(QStringLiteral("spList"));
    g->setListMode();
    g->setMaxCols(Cols);
    QStringList headers;
    for (int c = 1; c <= Cols; ++c)
        headers << QStringLiteral("항목%1").arg(c);
    g->setHeaderTexts(headers);
    static const QStringList family = {"김", "이", "박", "최", "정", "강"};
    static const QStringList given = {"민준", "서연", "도윤", "하은", "지호"};
    g->beginFill(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        cells << QStringLiteral("[기본그룹]") << family[r % 6] + given[r % 5]
              << QStringLiteral("010-%1-%2").arg(1000 + r % 9000).arg(2000 + (r * 7) % 8000)
              << QStringLiteral("02-%1-%2").arg(300 + r % 600).arg(1000 + r % 9000)
              << QStringLiteral("1970-03-15")
              << QStringLiteral("서울시 강남구 테헤란로 %1").arg(r % 500);
        while (cells.size() < Cols)
            cells << (cells.size() % 4 == 0 ? QString() : QStringLiteral("값%1").arg(r % 1000));
        g->appendRow(cells);
    }
    g->endFill();
    for (int c = 1; c <= Cols; ++c)
        g->setColWidth(c, 80);
    g->setColHidden(22, true);
    return g.get();
}

PrintRequest Request() {
    PrintRequest r;
    r.section = QStringLiteral("bench");
    r.title = QStringLiteral("회원 리스트");
    return r;
}

void BM_ReadEveryCell(benchmark::State& state) {
    Grid* g = MemberGrid(int(state.range(0)));
    for (auto _ : state) {
        qsizetype n = 0;
        for (int r = 1; r <= g->maxRows(); ++r)
            for (int c = 1; c <= Cols; ++c)
                n += g->text(c, r).size();
        benchmark::DoNotOptimize(n);
    }
    state.counters["peak_MB"] = PeakMemoryMb();
}
BENCHMARK(BM_ReadEveryCell)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Paginate(benchmark::State& state) {
    Grid* g = MemberGrid(int(state.range(0)));
    for (auto _ : state) {
        PrintContext context(g, Request());
        benchmark::DoNotOptimize(context.job().pageCount());
        state.counters["pages"] = context.job().pageCount();
    }
    state.counters["peak_MB"] = PeakMemoryMb();
}
BENCHMARK(BM_Paginate)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// From the request to the preview showing page 1 drawn with its page label.
void BM_PreviewReady(benchmark::State& state) {
    Grid* g = MemberGrid(int(state.range(0)));
    for (auto _ : state) {
        auto* preview = new FrmSPPrint_Preview(new PrintContext(g, Request()));
        preview->show();
        preview->repaint();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(preview->findChild<QLabel*>(QStringLiteral("lblPage"))->text());
        state.PauseTiming();
        delete preview;
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = PeakMemoryMb();
}
BENCHMARK(BM_PreviewReady)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PreviewNextAndLast(benchmark::State& state) {
    Grid* g = MemberGrid(10000);
    auto preview = std::make_unique<FrmSPPrint_Preview>(new PrintContext(g, Request()));
    preview->show();
    QCoreApplication::processEvents();
    const int last = preview->context()->job().pageCount();
    for (auto _ : state) {
        preview->setPage(state.range(0) == 0 ? 2 : last);
        preview->repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        preview->setPage(1);
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 0 ? "next page" : "last page");
}
BENCHMARK(BM_PreviewNextAndLast)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_WholeDocumentToPdf(benchmark::State& state) {
    Grid* g = MemberGrid(10000);
    QTemporaryDir dir;
    PrintContext context(g, Request());
    for (auto _ : state) {
        const bool ok = context.job().printToPdf(dir.filePath(QStringLiteral("all.pdf")), 1,
                                                 context.job().pageCount());
        benchmark::DoNotOptimize(ok);
    }
    state.counters["pages"] = context.job().pageCount();
    state.counters["peak_MB"] = PeakMemoryMb();
}
BENCHMARK(BM_WholeDocumentToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir config;
    Settings::setConfigDir(config.path());
    SetPrintAppTitle(QStringLiteral("MemberDeskBench"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
