// Grid performance on a large list: filling 100,000 rows × 25 columns, reading cells as
// the view does while scrolling, and painting a scrolled page. Peak memory of the process
// (VmHWM) is reported as a counter in MB.

#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 25;

double PeakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            const QByteArray kb = line.mid(6).trimmed().split(' ').value(0);
            return kb.toDouble() / 1024.0;
        }
    }
    return 0;
}

// A pool of distinct rows cycled through the fill, as a query's text values would be:
// codes, Korean names, phone numbers, amounts, dates, empty cells.
const QList<QStringList>& RowPool()
{
    static const QList<QStringList> pool = [] {
        QList<QStringList> rows;
        static const QStringList family = {"김", "이", "박", "최", "정", "강", "조", "윤"};
        static const QStringList given = {"민준", "서연", "도윤", "하은", "지호", "수아"};
        for (int i = 0; i < 997; ++i) {
            QStringList r;
            r.reserve(Cols);
            r << QString::number(100000 + i) << family.at(i % family.size()) + given.at(i % given.size())
              << QStringLiteral("010-%1-%2").arg(1000 + i % 9000).arg(2000 + (i * 7) % 8000)
              << QLocale(QLocale::English).toString(i * 1530) << QStringLiteral("2026-%1-%2")
                     .arg(1 + i % 12, 2, 10, QLatin1Char('0')).arg(1 + i % 28, 2, 10, QLatin1Char('0'));
            while (r.size() < Cols)
                r << (r.size() % 3 == 0 ? QString() : QStringLiteral("항목%1-%2").arg(i).arg(r.size()));
            rows << r;
        }
        return rows;
    }();
    return pool;
}

void Fill(Grid& grid)
{
    const QList<QStringList>& pool = RowPool();
    grid.beginFill(Rows);
    for (int r = 0; r < Rows; ++r)
        grid.appendRow(pool.at(r % pool.size()));
    grid.endFill();
}

void BM_FillListGrid(benchmark::State& state)
{
    RowPool();
    Grid grid;
    grid.setMaxCols(Cols);
    grid.setListMode();
    for (auto _ : state) {
        Fill(grid);
        benchmark::DoNotOptimize(grid.maxRows());
    }
    state.counters["rows"] = grid.maxRows();
    state.counters["peak_MB"] = PeakMemoryMb();
}
BENCHMARK(BM_FillListGrid)->Unit(benchmark::kMillisecond)->Iterations(3);

// The calls a view makes per visible cell.
void BM_CellDataRandomAccess(benchmark::State& state)
{
    Grid grid;
    grid.setMaxCols(Cols);
    grid.setListMode();
    Fill(grid);
    const GridModel* model = grid.gridModel();
    QRandomGenerator rng(42);
    for (auto _ : state) {
        const QModelIndex i = model->index(int(rng.bounded(Rows)), int(rng.bounded(Cols)));
        benchmark::DoNotOptimize(model->data(i, Qt::DisplayRole));
        benchmark::DoNotOptimize(model->data(i, Qt::BackgroundRole));
        benchmark::DoNotOptimize(model->data(i, Qt::TextAlignmentRole));
    }
    state.counters["peak_MB"] = PeakMemoryMb();
}
BENCHMARK(BM_CellDataRandomAccess);

// Scrolling to a random place and painting the page.
void BM_ScrollAndPaint(benchmark::State& state)
{
    Grid grid;
    grid.setMaxCols(Cols);
    grid.setListMode();
    grid.resize(1200, 700);
    Fill(grid);
    grid.show();
    QRandomGenerator rng(7);
    for (auto _ : state) {
        grid.setTopRow(1 + int(rng.bounded(Rows - 50)));
        benchmark::DoNotOptimize(grid.viewport()->grab());
    }
    state.counters["peak_MB"] = PeakMemoryMb();
}
BENCHMARK(BM_ScrollAndPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
