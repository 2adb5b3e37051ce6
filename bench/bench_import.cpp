// Member import on a generated register of 100,000 members in 50 groups: loading a
// 10,000-row .xls, .xlsx and CP949 .csv into the grid, and importing them in add and
// update mode, each next to its bare part (reading alone; the bare INSERTs/UPDATEs).
// Counters: max_gap_ms is the longest pause between progress updates of an import;
// peak_mb the resident memory high-water mark while a 50 MB CSV is refused.
#include "BenchRatio.h"
#include "TestEnv.h"

#include "db/Database.h"
#include "members/MemberImport.h"
#include "members/MemberStore.h"
#include "ui/Grid.h"
#include "ui/SheetGrid.h"
#include "ui/SheetReader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <memory>

namespace {
constexpr int kMembers = 100000;
constexpr int kGroups = 50;
constexpr int kRows = 10000;
TestEnv* g_env = nullptr;
Grid* g_grid = nullptr;
QString g_xlsx, g_xls, g_csv, g_huge;

QStringList sheetRow(int i) {
    // Management numbers M000000.. belong to existing members: update mode finds them.
    return {QStringLiteral("가져온회원%1").arg(i),
            QStringLiteral("M%1").arg(i * 7, 6, 10, QChar('0')),
            i % 2 ? QStringLiteral("남") : QStringLiteral("여"),
            QStringLiteral("ab"),
            QStringLiteral("010-%1-%2").arg(2000 + i % 7000).arg(i % 10000, 4, 10, QChar('0')),
            QStringLiteral("그룹%1").arg(1 + i % (kGroups + 5)),
            QStringLiteral("1980-%1-15").arg(1 + i % 12, 2, 10, QChar('0')),
            QStringLiteral("서울시 %1구").arg(i % 25)};
}

void generate() {
    Transaction tx;
    for (int g = 1; g <= kGroups; ++g)
        ExecSQL("INSERT INTO tblgroup (gname) VALUES (?)", {QString("그룹%1").arg(g)});
    for (int i = 0; i < kMembers; ++i)
        ExecSQL("INSERT INTO tblfriend (sname, ctblgroup, codeno, hpline, insertday) VALUES (?, ?, "
                "?, ?, ?)",
                {QString("회원%1").arg(i), 2 + i % kGroups,
                 QString("M%1").arg(i, 6, 10, QChar('0')), QString("010-%1").arg(i),
                 QString("2020-01-01")});
    tx.commit();

    const QString dir = g_env->dataDir();
    g_xlsx = dir + "/rows.xlsx";
    g_xls = dir + "/rows.xls";
    g_csv = dir + "/rows.csv";
    g_huge = dir + "/huge.csv";
    lxw_workbook* wb = workbook_new(g_xlsx.toUtf8().constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "회원");
    QByteArray utf8;
    for (int i = 0; i < kRows; ++i) {
        const QStringList r = sheetRow(i);
        for (int c = 0; c < r.size(); ++c)
            worksheet_write_string(ws, lxw_row_t(i), lxw_col_t(c), r[c].toUtf8().constData(),
                                   nullptr);
        utf8 += r.join(',').toUtf8() + "\r\n";
    }
    workbook_close(wb);
    QFile tmp(dir + "/rows_utf8.csv");
    tmp.open(QIODevice::WriteOnly);
    tmp.write(utf8);
    tmp.close();
    QProcess iconv;
    iconv.setStandardInputFile(tmp.fileName());
    iconv.setStandardOutputFile(g_csv);
    iconv.start("iconv", {"-f", "UTF-8", "-t", "CP949"});
    iconv.waitForFinished();
    // The .xls through Debian's python3-xlwt (skipped when it is missing).
    QProcess::execute(
        "/usr/bin/python3",
        {"-c",
         "import sys,xlwt\nwb=xlwt.Workbook(encoding='utf-8')\nws=wb.add_sheet('회원')\n"
         "for i,l in enumerate(open(sys.argv[1],encoding='utf-8').read().splitlines()):\n"
         "    [ws.write(i,j,v) for j,v in enumerate(l.split(','))]\nwb.save(sys.argv[2])\n",
         tmp.fileName(), g_xls});
    // About 50 MB of rows, beyond the row limit.
    QFile huge(g_huge);
    huge.open(QIODevice::WriteOnly);
    const QByteArray row = QByteArray("홍길동,").append(QByteArray(239, 'x')).append('\n');
    QByteArray block;
    for (int i = 0; i < 1000; ++i)
        block += row;
    for (int i = 0; i < 210; ++i)
        huge.write(block);
}

bool readSheet(const QString& path, SheetData& s) {
    WorkbookReader r;
    return r.open(path) && r.loadSheet(0, s);
}

void read(benchmark::State& state, const QString* path, bool toGrid) {
    for (auto _ : state) {
        SheetData s;
        if (!readSheet(*path, s)) {
            state.SkipWithError("cannot read");
            return;
        }
        if (toGrid) FillGridWithSheet(g_grid, s);
        benchmark::DoNotOptimize(s.rows.size());
    }
}
void BM_Read_Xls(benchmark::State& st) {
    read(st, &g_xls, false);
}
void BM_Load_Xls_Grid(benchmark::State& st) {
    read(st, &g_xls, true);
}
void BM_Read_Xlsx(benchmark::State& st) {
    read(st, &g_xlsx, false);
}
void BM_Load_Xlsx_Grid(benchmark::State& st) {
    read(st, &g_xlsx, true);
}
void BM_Read_Cp949Csv(benchmark::State& st) {
    read(st, &g_csv, false);
}
void BM_Load_Cp949Csv_Grid(benchmark::State& st) {
    read(st, &g_csv, true);
}

// Add mode leaves the management number out (every sheet number exists already).
ImportMapping mapping(bool withNumber) {
    ImportMapping m;
    m.fields[FName] = 0;
    m.fields[FCodeNo] = withNumber ? 1 : -1;
    m.fields[FMale] = 2;
    m.fields[FAbo] = 3;
    m.fields[FHp] = 4;
    m.fields[FGroup] = 5;
    m.fields[FBirthday] = 6;
    m.fields[FAddr] = 7;
    return m;
}

// The import inside an outer transaction that is rolled back, so every run sees the same
// register.
void import(benchmark::State& state, bool update) {
    SheetData s;
    readSheet(g_xlsx, s);
    double maxGap = 0;
    for (auto _ : state) {
        Transaction outer;
        QElapsedTimer gap;
        gap.start();
        const ImportResult r = WriteImportRows(
            s.rows, mapping(update), 1, kRows, update, [](const QString&) {},
            [&](int) { maxGap = qMax(maxGap, double(gap.restart())); });
        if (!r.ok || r.written != kRows) state.SkipWithError("import failed");
    }
    state.counters["max_gap_ms"] = maxGap;
}
void BM_Import_Add(benchmark::State& st) {
    import(st, false);
}
void BM_Import_Update(benchmark::State& st) {
    import(st, true);
}

// The bare statements: the member editor's full INSERT (every column bound), and an
// UPDATE of the mapped columns, row after row in one transaction.
void BM_Import_Add_Sql(benchmark::State& state) {
    SheetData s;
    readSheet(g_xlsx, s);
    const QStringList& cols = MemberColumns();
    const QString sql = "INSERT INTO tblfriend (" + cols.join(", ") + ") VALUES (?" +
                        QString(", ?").repeated(cols.size() - 1) + ")";
    for (auto _ : state) {
        Transaction outer;
        for (const QStringList& r : s.rows) {
            QVariantList params;
            for (const QString& c : cols)
                params << (c == "sname"              ? r[0]
                           : c == "ctblgroup"        ? QVariant(2)
                           : IsMemberNumberColumn(c) ? QVariant(0)
                                                     : QVariant(r[7]));
            ExecSQL(sql, params);
        }
    }
}

void BM_Import_Update_Sql(benchmark::State& state) {
    SheetData s;
    readSheet(g_xlsx, s);
    for (auto _ : state) {
        Transaction outer;
        for (const QStringList& r : s.rows)
            ExecSQL("UPDATE tblfriend SET finalday = ?, sname = ?, male = ?, abo = ?, hpline = ?, "
                    "barthday = ?,"
                    " homeadd = ?, codeno = ?, ctblgroup = ? WHERE codeno = ? AND code <> 1",
                    {"2026-12-06", r[0], r[2], r[3], r[4], r[6], r[7], r[1], 2, r[1]});
    }
}

long statusKb(const char* key) {
    QFile f("/proc/self/status");
    f.open(QIODevice::ReadOnly);
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith(key)) return l.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    return 0;
}

void BM_Refuse_50MB_Csv(benchmark::State& state) {
    long peak = 0, before = 0;
    for (auto _ : state) {
        QFile reset("/proc/self/clear_refs"); // "5" resets the high-water mark
        if (reset.open(QIODevice::WriteOnly)) reset.write("5");
        reset.close();
        before = statusKb("VmRSS:");
        WorkbookReader r;
        SheetData s;
        r.open(g_huge);
        if (r.loadSheet(0, s) || r.error() != SheetError::TooLarge)
            state.SkipWithError("not refused");
        peak = qMax(peak, statusKb("VmHWM:"));
    }
    state.counters["peak_mb"] = double(peak) / 1024.0;
    state.counters["peak_above_start_mb"] = double(peak - before) / 1024.0;
}
} // namespace

BENCHMARK(BM_Read_Xls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Xls_Grid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_Xlsx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Xlsx_Grid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_Cp949Csv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Cp949Csv_Grid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import_Add_Sql)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Import_Add)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Import_Update_Sql)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Import_Update)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Refuse_50MB_Csv)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto env = std::make_unique<TestEnv>();
    g_env = env.get();
    generate();
    g_grid = new Grid;
    benchmark::Initialize(&argc, argv);
    RatioReporter ratios;
    ratios.pair("BM_Import_Add", "BM_Import_Add_Sql");
    ratios.pair("BM_Import_Update", "BM_Import_Update_Sql");
    benchmark::RunSpecifiedBenchmarks(&ratios);
    benchmark::Shutdown();
    delete g_grid;
    return 0;
}
