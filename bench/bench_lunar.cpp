// Lunar/solar conversion over the first 74,151 days of the table (lunar 1841..2043, from solar
// 1841-01-23), one direction at a time and both together, as the member search and the
// anniversary lists do it: one text result per date.
#include "calendar/Convlunar.h"

#include <QDate>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct Ymd {
    int y, m, d;
};

constexpr int kDays = 74151;

const std::vector<Ymd>& solarDays() {
    static const std::vector<Ymd> days = [] {
        std::vector<Ymd> v;
        v.reserve(kDays);
        QDate d(1841, 1, 23);
        for (int i = 0; i < kDays; ++i, d = d.addDays(1))
            v.push_back({d.year(), d.month(), d.day()});
        return v;
    }();
    return days;
}

const std::vector<Ymd>& lunarDays() {
    static const std::vector<Ymd> days = [] {
        const Convlunar conv;
        std::vector<Ymd> v;
        v.reserve(kDays);
        for (const Ymd& s : solarDays()) {
            Ymd l{};
            conv.solarToLunar(s.y, s.m, s.d, l.y, l.m, l.d);
            v.push_back(l);
        }
        return v;
    }();
    return days;
}

void BM_Sol2LunAllDays(benchmark::State& state) {
    const Convlunar conv;
    const auto& days = solarDays();
    for (auto _ : state) {
        for (const Ymd& s : days)
            benchmark::DoNotOptimize(conv.Sol2Lun(s.y, s.m, s.d, 1));
    }
    state.SetItemsProcessed(state.iterations() * kDays);
}

void BM_Lun2SolAllDays(benchmark::State& state) {
    const Convlunar conv;
    const auto& days = lunarDays();
    for (auto _ : state) {
        for (const Ymd& l : days)
            benchmark::DoNotOptimize(conv.Lun2Sol(l.y, l.m, l.d, 1));
    }
    state.SetItemsProcessed(state.iterations() * kDays);
}

void BM_BothWaysAllDays(benchmark::State& state) {
    const Convlunar conv;
    const auto& solar = solarDays();
    const auto& lunar = lunarDays();
    for (auto _ : state) {
        for (int i = 0; i < kDays; ++i) {
            benchmark::DoNotOptimize(conv.Sol2Lun(solar[i].y, solar[i].m, solar[i].d, 1));
            benchmark::DoNotOptimize(conv.Lun2Sol(lunar[i].y, lunar[i].m, lunar[i].d, 1));
        }
    }
    state.SetItemsProcessed(state.iterations() * kDays * 2);
}

// The wrappers build a converter (and its table) for every call.
void BM_ConvertAnniversaryOneCall(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ConvertAnniversary(QStringLiteral("2026-02-17"), true));
}

} // namespace

BENCHMARK(BM_Sol2LunAllDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lun2SolAllDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BothWaysAllDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAnniversaryOneCall)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
