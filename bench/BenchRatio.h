// A window step beside its bare query (the query returning the same rows, filled into a
// plain grid): each step named here shows the ratio of its real time to its bare query's
// as the counter "ratio", and the ratios of the medians (or single runs) are listed again
// after the last benchmark, of real and of processor time (steadier when other programs
// share the processor). Aim: at most 1.5.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // step and bare: benchmark names as registered (a capture's name included).
    RatioReporter& pair(const std::string& step, const std::string& bare)
    {
        m_pairs.emplace_back(step, bare);
        return *this;
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        std::vector<Run> shown = runs;
        for (Run& r : shown) {
            if (r.error_occurred)
                continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (r.run_type == Run::RT_Aggregate && !median && r.aggregate_name != "mean")
                continue;
            const std::string name = r.run_name.function_name;
            const double ms = r.real_accumulated_time * 1000.0 / double(r.iterations);
            if (r.run_type == Run::RT_Iteration || median) {
                m_times[name] = ms; // the median follows the single runs and wins
                m_cpu[name] = r.cpu_accumulated_time * 1000.0 / double(r.iterations);
            }
            const std::string* bare = bareOf(name);
            if (bare == nullptr)
                continue;
            const auto it = m_times.find(*bare);
            if (it != m_times.end() && it->second > 0)
                r.counters["ratio"] = benchmark::Counter(ms / it->second);
        }
        ConsoleReporter::ReportRuns(shown);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (m_pairs.empty())
            return;
        std::printf("\nwindow step / bare query, median ms (aim <= 1.5)\n");
        for (const auto& [step, bare] : m_pairs) {
            const auto s = m_times.find(step), b = m_times.find(bare);
            if (s == m_times.end() || b == m_times.end() || b->second <= 0 || m_cpu[bare] <= 0)
                continue;
            const double real = s->second / b->second, cpu = m_cpu[step] / m_cpu[bare];
            std::printf("  %-34s real %8.2f / %8.2f = %5.2f   cpu %8.2f / %8.2f = %5.2f%s\n",
                        step.c_str(), s->second, b->second, real, m_cpu[step], m_cpu[bare], cpu,
                        real > 1.5 ? "  over" : "");
        }
        std::fflush(stdout);
    }

private:
    const std::string* bareOf(const std::string& step) const
    {
        for (const auto& p : m_pairs)
            if (p.first == step)
                return &p.second;
        return nullptr;
    }

    std::vector<std::pair<std::string, std::string>> m_pairs;
    std::map<std::string, double> m_times, m_cpu; // milliseconds per iteration
};
