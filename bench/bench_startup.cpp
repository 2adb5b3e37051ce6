// Start-up: from starting the memberdesk executable to its login window painted, on a new
// data folder (the first start creates the folder and the database) and on an existing
// one. The program runs offscreen in its check mode, which prints "ready ..." once the
// login window has been painted and ends.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path scratch() {
    static const fs::path root = [] {
        std::string tmpl = (fs::temp_directory_path() / "bench_startup.XXXXXX").string();
        return fs::path(mkdtemp(tmpl.data()));
    }();
    return root;
}

// One start; returns false when the program did not report its login window.
bool startOnce(const fs::path& data, double* programMs) {
    setenv("MEMBERDESK_HOME", data.c_str(), 1);
    const std::string cmd = "'" MEMBERDESK_EXE "'";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return false;
    char line[256] = {};
    const bool ok = std::fgets(line, sizeof line, p) && std::string(line).rfind("ready ", 0) == 0;
    pclose(p);
    if (ok)
        *programMs = std::atof(std::string(line).substr(std::string(line).find("ms=") + 3).c_str());
    return ok;
}

void prepareEnvironment() {
    setenv("MEMBERDESK_STARTUP_PROBE", "1", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_LOGGING_RULES", "qt.qpa.*=false", 1);
    setenv("XDG_CONFIG_HOME", (scratch() / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", scratch().c_str(), 1);
}

void run(benchmark::State& state, bool fresh) {
    prepareEnvironment();
    const fs::path existing = scratch() / "existing";
    double programMs = 0, sumMs = 0;
    if (!fresh && !fs::exists(existing / "DBS") && !startOnce(existing, &programMs)) {
        state.SkipWithError("the program did not start");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path data = fresh ? scratch() / ("fresh" + std::to_string(n)) : existing;
        state.ResumeTiming();
        if (!startOnce(data, &programMs)) {
            state.SkipWithError("the program did not report its login window");
            break;
        }
        sumMs += programMs;
        ++n;
        if (fresh) {
            state.PauseTiming();
            fs::remove_all(data);
            state.ResumeTiming();
        }
    }
    // The program's own count, from its application object to the painted login window.
    if (n > 0) state.counters["in_program_ms"] = sumMs / n;
}

void BM_StartupFreshDataFolder(benchmark::State& state) {
    run(state, true);
}
void BM_StartupExistingDataFolder(benchmark::State& state) {
    run(state, false);
}

} // namespace

BENCHMARK(BM_StartupFreshDataFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_StartupExistingDataFolder)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(scratch());
    return 0;
}
