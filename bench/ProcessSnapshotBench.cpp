// One process listing of this machine read from /proc against one run of ps parsed, in the same
// run, followed by the ratio of the two. Real time is measured: ps does its work in a child.
#include "linux/LinuxProcessLister.h"
#include "macos/MacProcessLister.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

using joulemap::LinuxProcessLister;
using joulemap::MacProcessLister;

void BM_ProcSnapshot(benchmark::State& state) {
    LinuxProcessLister lister;
    size_t processes = 0;
    for (auto _ : state) {
        const auto snapshot = lister.snapshot();
        processes = snapshot.size();
        benchmark::DoNotOptimize(snapshot);
    }
    state.counters["processes"] = static_cast<double>(processes);
}
BENCHMARK(BM_ProcSnapshot)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PsSnapshot(benchmark::State& state) {
    MacProcessLister lister("/bin/ps");  // procps accepts the same arguments
    size_t processes = 0;
    for (auto _ : state) {
        const auto snapshot = lister.snapshot();
        processes = snapshot.size();
        benchmark::DoNotOptimize(snapshot);
    }
    if (processes == 0) state.SkipWithError("ps printed nothing");
    state.counters["processes"] = static_cast<double>(processes);
}
BENCHMARK(BM_PsSnapshot)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Prints as usual and remembers each benchmark's time per iteration for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                microseconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatio() const {
        const auto proc = microseconds_.find("BM_ProcSnapshot");
        const auto ps = microseconds_.find("BM_PsSnapshot");
        if (proc == microseconds_.end() || ps == microseconds_.end() || proc->second <= 0) return;
        std::printf("ps / proc: %.1fx (%.0f us against %.0f us per listing)\n", ps->second / proc->second,
                    ps->second, proc->second);
    }

private:
    std::map<std::string, double> microseconds_;
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
