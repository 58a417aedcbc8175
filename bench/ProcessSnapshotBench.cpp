// One sampling cycle of this machine (a /proc listing compared with the previous one and turned
// into application shares) against one run of ps parsed, in the same run, followed by the cost
// per process of each and their ratio. Real time is measured: ps does its work in a child.
// bench/sampling_cost.sh runs it at fixed process counts.
#include "PlatformSources.h"
#include "linux/LinuxProcessLister.h"
#include "macos/MacProcessLister.h"

#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

using joulemap::LinuxProcessLister;
using joulemap::MacProcessLister;

void BM_ProcSnapshot(benchmark::State& state) {
    LinuxProcessLister lister;
    const auto& rules = joulemap::ProcessPowerService::rules();
    auto previous = lister.snapshot();
    size_t processes = 0;
    for (auto _ : state) {
        auto current = lister.snapshot();
        const auto shares = joulemap::ProcessPowerService::sharesBetween(previous, current, rules, 1.0, ::getpid());
        processes = current.size();
        previous = std::move(current);
        benchmark::DoNotOptimize(shares);
    }
    state.counters["processes"] = static_cast<double>(processes);
}
BENCHMARK(BM_ProcSnapshot)->Unit(benchmark::kMicrosecond)->UseRealTime();

double childCpuMicroseconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto us = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_usec); };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

void BM_PsSnapshot(benchmark::State& state) {
    MacProcessLister lister("/bin/ps");  // procps accepts the same arguments
    size_t processes = 0;
    const double childCpuBefore = childCpuMicroseconds();
    for (auto _ : state) {
        const auto snapshot = lister.snapshot();
        processes = snapshot.size();
        benchmark::DoNotOptimize(snapshot);
    }
    if (processes == 0) state.SkipWithError("ps printed nothing");
    state.counters["processes"] = static_cast<double>(processes);
    // What ps itself burns; on a busy machine its processor time says more than the wall clock.
    state.counters["ps_cpu_us"] = (childCpuMicroseconds() - childCpuBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PsSnapshot)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Prints as usual and remembers each benchmark's time per iteration for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}  // plain text, so scripts can pick lines out

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                const auto processes = run.counters.find("processes");
                const double count = processes != run.counters.end() ? double(processes->second) : 0;
                const auto psCpu = run.counters.find("ps_cpu_us");
                const double cpu =
                    run.GetAdjustedCPUTime() + (psCpu != run.counters.end() ? double(psCpu->second) : 0);
                figures_[run.run_name.function_name] = {run.GetAdjustedRealTime(), cpu, count};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatio() const {
        const auto proc = figures_.find("BM_ProcSnapshot");
        const auto ps = figures_.find("BM_PsSnapshot");
        if (proc == figures_.end() || ps == figures_.end() || proc->second.realUs <= 0) return;
        const Figures& c = proc->second;
        const Figures& p = ps->second;
        std::printf("processes %.0f: cycle %.0f us real, %.0f us cpu (%.1f us/process); ps %.0f us real, %.0f us cpu "
                    "(%.1f us/process); ps / cycle %.1fx real, %.1fx cpu\n",
                    c.processes, c.realUs, c.cpuUs, c.cpuUs / c.processes, p.realUs, p.cpuUs, p.cpuUs / p.processes,
                    p.realUs / c.realUs, p.cpuUs / c.cpuUs);
    }

private:
    struct Figures {
        double realUs = 0;
        double cpuUs = 0;  // for ps: its own and the benchmark's
        double processes = 0;
    };
    std::map<std::string, Figures> figures_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio();
    benchmark::Shutdown();
    return 0;
}
