#include "linux/LinuxBatteryReader.h"

#include <benchmark/benchmark.h>

#include <filesystem>

// One refresh's worth of sysfs reading on a laptop charging over USB-PD (battery, two chargers,
// two USB-C ports). The reader runs on every refresh, every 3 s while a window is open.
static void BM_LinuxBatteryReadQuick(benchmark::State& state) {
    joulemap::LinuxBatteryReader reader(std::filesystem::path(JOULEMAP_FIXTURES_DIR) / "sysfs" /
                                        "acpi-laptop-pd-charging");
    for (auto _ : state) benchmark::DoNotOptimize(reader.readQuick());
}
BENCHMARK(BM_LinuxBatteryReadQuick);
