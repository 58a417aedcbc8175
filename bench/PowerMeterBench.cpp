#include "linux/LinuxPowerMeter.h"

#include <benchmark/benchmark.h>

#include <filesystem>

// One refresh's worth of meter reading on a laptop with RAPL package, core, uncore and psys
// domains (and their MMIO copy) and a graphics card's hwmon sensor. It runs beside the battery read
// on every refresh, every 3 s while a window is open.
static void BM_LinuxPowerMeterSample(benchmark::State& state) {
    double now = 0;
    joulemap::LinuxPowerMeter meter(std::filesystem::path(JOULEMAP_FIXTURES_DIR) / "sysfs" / "metered-laptop",
                                    [&now] { return now += 1; });
    for (auto _ : state) benchmark::DoNotOptimize(meter.sample());
}
BENCHMARK(BM_LinuxPowerMeterSample);
